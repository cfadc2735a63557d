#pragma once
// The program's one window. It shows the state held by ModelloFinestra and
// forwards its events there; it has no logic of its own.

#include "app/ModelloFinestra.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStyle;

namespace vagolume {

class frmbase : public QWidget {
    Q_OBJECT
public:
    // servizi: completed here with the window's message boxes and event
    // processing where they are not set.
    explicit frmbase(Servizi servizi, QWidget* parent = nullptr);
    ~frmbase() override;

    ModelloFinestra& Modello() { return *modello_; }
    void Form_Load(const QDate& oggi, const QString& argomenti, const QString& cartellaProgramma);

    // Controls, by their names, for tests that drive the real window.
    QLineEdit* txtLocalita = nullptr;
    QComboBox *cmbg1 = nullptr, *cmbm1 = nullptr, *cmba1 = nullptr;
    QComboBox *cmbg2 = nullptr, *cmbm2 = nullptr, *cmba2 = nullptr;
    QComboBox* cmbCopie = nullptr;
    QCheckBox* chkBianco = nullptr;
    QPushButton *cmdStampa = nullptr, *cmdAnnulla = nullptr, *cmdFine = nullptr, *cmdHelp = nullptr;
    QGroupBox *frmLocalita = nullptr, *frmPeriodo = nullptr, *frmBianco = nullptr, *frmSelStampa = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *lblCopyright = nullptr;
    QLabel *imgLogo1 = nullptr, *imgLogo2 = nullptr;
    QLineEdit *txtFondo = nullptr, *txtSopra = nullptr;
    QListWidget* lstStampanti = nullptr;
    QPushButton* cmdSelStampante[2] = {nullptr, nullptr};
    QPushButton* cmdAnteprima = nullptr; // "Ante&prima" in the printer panel

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void Costruisci();
    void Mostra(); // shows the model's state
    bool Invio();  // Enter outside a button
    Controllo* ControlloDi(const QComboBox* combo);
    int Tw(int twips) const;
    QRect Rett(int left, int top, int width, int height) const;

    std::unique_ptr<ModelloFinestra> modello_;
    QStyle* stileListe_ = nullptr; // narrow drop-down arrows for the small lists
    bool aggiornando_ = false;
};

} // namespace vagolume
