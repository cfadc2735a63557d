#pragma once
// The program's one window. It builds its controls from the window's table,
// shows the state held by ModelloFinestra and forwards its events there; it
// has no logic of its own. Tests find its controls by their names
// (findChild<QPushButton*>("cmdStampa")).

#include "app/ModelloFinestra.h"

#include <QWidget>
#include <memory>
#include <vector>

class QStyle;

namespace vagolume {

struct DescrizioneControllo;

class frmbase : public QWidget {
    Q_OBJECT
public:
    frmbase(Dialoghi& dialoghi, Piattaforma& piattaforma, FineProcesso processo, QWidget* parent = nullptr);
    ~frmbase() override;

    ModelloFinestra& Modello() { return *modello_; }
    Invocata Form_Load(const QDate& oggi, const QString& argomenti, const QByteArray& cartellaProgramma);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void Costruisci();
    QWidget* CreaControllo(const DescrizioneControllo& d);
    void Completa(QWidget* w, const DescrizioneControllo& d); // what each kind of control needs besides
    void Collega();                                           // the controls' signals to the model's handlers
    void Mostra();                                            // shows the model's state
    void MostraForm();     // the form: destination, period, blank sheets, buttons, progress bar
    void MostraPannello(); // the printer panel
    void MostraAltezze();  // the printer list and the panel's line, and the room they take
    // The control of a name from the window's table.
    template <typename W = QWidget> W* C(QAnyStringView nome) const;
    // The name of the control an object belongs to ("" for none).
    QString NomeControllo(const QObject* oggetto) const;
    int Tw(int twips) const;
    QRect Rett(const QRect& twips) const;

    std::unique_ptr<ModelloFinestra> modello_;
    std::vector<QWidget*> controlli_;    // one per row of the window's table
    std::vector<Qt::FocusPolicy> fuoco_; // their own focus policies
    QWidget* anello_ = nullptr;          // the ring round the control with the focus
    QStyle* stileListe_ = nullptr;       // narrow drop-down arrows for the small lists
    bool aggiornando_ = false;
};

} // namespace vagolume
