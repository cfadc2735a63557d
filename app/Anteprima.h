#pragma once
// The print preview: the pages of a run as the chosen printer will put them
// on paper, one page at a time. A page is drawn only when it is shown, and
// only the page on screen is kept, so a trip of a year opens as fast as one
// of three days.

#include "sheet/Pagine.h"

#include <QDialog>
#include <QImage>
#include <QPageLayout>

class QLabel;
class QPushButton;
class QScrollArea;

namespace vagolume {

// Page N of a run (0: the cover) as the printer puts it on paper: the whole
// sheet, white, with the page drawn in the printable area of the layout, at
// puntiPerMm image pixels per millimetre.
QImage ImmaginePagina(Pagine& pagine, int N, const QPageLayout& layout, double puntiPerMm);

// The sheet on screen, drawn at the screen's pixel density.
class FoglioAnteprima : public QWidget {
    Q_OBJECT
public:
    FoglioAnteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre);
    void ImpostaPagina(int N);
    int Pagina() const { return pagina_; }
    // The image on screen (drawn now if it is not yet).
    const QImage& Immagine();

signals:
    // A page has just been painted on screen.
    void Mostrata(int pagina);

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    Pagine& pagine_;
    QPageLayout layout_;
    int pagina_ = 0;
    QImage immagine_; // the page on screen, at the size and density it was drawn for
    int paginaImmagine_ = -1;
    bool preparato_ = false; // the fonts of the pages are loaded
};

class Anteprima : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { Larghezza, PaginaIntera };

    Anteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre = nullptr);
    ~Anteprima() override;

    // The page shown, 0 the cover (the label counts from 1).
    int Pagina() const { return foglio_->Pagina(); }
    void MostraPagina(int N); // kept within the run
    Zoom ZoomCorrente() const { return zoom_; }
    void ImpostaZoom(Zoom zoom);
    FoglioAnteprima* Foglio() const { return foglio_; }

    QLabel* lblPagina = nullptr;
    QPushButton *cmdPrima = nullptr, *cmdPrecedente = nullptr, *cmdSuccessiva = nullptr, *cmdUltima = nullptr;
    QPushButton *cmdLarghezza = nullptr, *cmdIntera = nullptr;
    QPushButton *cmdStampa = nullptr, *cmdChiudi = nullptr;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    bool Tasto(const QKeyEvent* tasto); // the preview's own keys
    void Dimensiona();                  // the sheet's size for the zoom

    Pagine& pagine_;
    QPageLayout layout_;
    Zoom zoom_ = Zoom::PaginaIntera;
    QScrollArea* area_ = nullptr;
    FoglioAnteprima* foglio_ = nullptr;
};

} // namespace vagolume
