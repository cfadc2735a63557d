#pragma once
// The print preview: the pages of a run as the chosen printer will put them
// on paper, one page at a time. A page is drawn only when it is shown, and
// only the page on screen is kept, so a trip of a year opens as fast as one
// of three days.

#include "sheet/Pagine.h"

#include <QDialog>
#include <QImage>
#include <QPageLayout>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QScrollArea;
class QScreen;

namespace vagolume {

// Page N of a run (0: the cover) as the printer puts it on paper: the whole
// sheet, white, with the page drawn in the printable area of the layout, at
// puntiPerMm image pixels per millimetre. parte: only that rectangle of the
// sheet's image (a sheet zoomed in, of which only a part is on screen).
QImage ImmaginePagina(Pagine& pagine, int N, const QPageLayout& layout, double puntiPerMm,
                      QRect parte = QRect());

// The sheet on screen, drawn at the screen's pixel density.
class FoglioAnteprima : public QWidget {
    Q_OBJECT
public:
    FoglioAnteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre);
    void ImpostaPagina(int N);
    int Pagina() const { return pagina_; }
    // The image on screen (drawn now if it is not yet).
    // The image on screen (drawn now if it is not yet): the part of the
    // sheet that can be seen.
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
    QSize foglioImmagine_; // the whole sheet's size in pixels, and the part of it drawn
    QRect parteImmagine_;
    bool preparato_ = false; // the fonts of the pages are loaded
};

// What a page is, in a few words: "Copertina", its date ("Ven 11 Dic"), or
// nothing (a blank sheet).
QString DescrizionePagina(const Pagine& pagine, int N);

class MiniaturePagine;
class AnelloFuoco;

// The zoom steps, in per cent of the sheet's real size on screen.
inline constexpr int kPassiZoom[] = {25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};

class Anteprima : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { Larghezza, PaginaIntera, Percento };

    // How the preview was when it closed: it opens again so.
    struct Stato {
        QSize Dimensione;
        Zoom ComeZoom = Zoom::PaginaIntera;
        int Percento = 100;
        int Pagina = 0;
        bool Miniature = false; // the strip of thumbnails shown
        bool Aperta = false;    // it has been open before
    };

    // The document shown: its name (the title says it) and the pages chosen
    // to print, as the preview counts them (1: the cover); empty: all.
    struct Documento {
        QString Nome;
        QList<int> Scelte;
    };

    // stato: where the preview's last state is kept, for the next opening; nullptr: none.
    Anteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre = nullptr, Stato* stato = nullptr,
              Documento documento = {});
    ~Anteprima() override;

    // The page shown, 0 the cover (the label counts from 1).
    int Pagina() const { return foglio_->Pagina(); }
    void MostraPagina(int N); // kept within the run
    Zoom ZoomCorrente() const { return zoom_; }
    void ImpostaZoom(Zoom zoom, int percento = 100);
    // The sheet's size on screen, in per cent of its real size.
    int Percento() const;
    // One zoom step up (verso 1) or down (-1) from the size shown.
    void PassoZoom(int verso);
    FoglioAnteprima* Foglio() const { return foglio_; }
    // The strip of page thumbnails, shown or hidden.
    void MostraMiniature(bool mostra);
    bool Miniature() const;
    // Page N (0: the cover) is among those chosen to print.
    bool Scelta(int N) const;

    QLabel* lblPagina = nullptr;
    QLineEdit* txtPagina = nullptr; // type a page number, Enter goes there
    QLabel* lblZoom = nullptr;
    QPushButton *cmdPrima = nullptr, *cmdPrecedente = nullptr, *cmdSuccessiva = nullptr, *cmdUltima = nullptr;
    QPushButton *cmdLarghezza = nullptr, *cmdIntera = nullptr;
    QPushButton *cmdStampa = nullptr, *cmdChiudi = nullptr;
    QPushButton* cmdMiniature = nullptr;
    QListView* lstMiniature = nullptr;

private:
    QLabel* lblVai_ = nullptr;

public:
protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void done(int esito) override;

private:
    void CreaBottoni();
    void CreaCampi();
    void CreaArea();
    void CreaMiniature();
    void Disponi(); // the controls in their rows, the rows within the screen
    void Collega();
    void Apri();                               // as it was when it last closed, or on the first page chosen
    void VaiA();                               // the page typed in "Vai a"
    void SegnalaPagina(const QString& motivo); // the page typed is not there: why
    void ZoomIniziale();
    const QScreen* Schermo() const;     // the screen it opens on
    bool Tasto(const QKeyEvent* tasto); // the preview's own keys
    bool TastoCtrl(const QKeyEvent* tasto);
    void Dimensiona(); // the sheet's size for the zoom
    // Moves on by a step (or a screenful) down or right (verso 1), up or
    // left (-1); at the sheet's edge, to the next or previous page.
    void Scorri(int verso, bool orizzontale, bool schermata);
    double PuntiAlCento() const; // pixels of the sheet's width at 100 %

    Pagine& pagine_;
    QPageLayout layout_;
    Zoom zoom_ = Zoom::PaginaIntera;
    int percento_ = 100;
    int rotella_ = 0; // wheel turns not yet a step
    Stato* stato_ = nullptr;
    Documento documento_;
    bool primaVolta_ = true;      // not yet shown
    QBoxLayout* barra_ = nullptr; // the rows of buttons
    QScrollArea* area_ = nullptr;
    AnelloFuoco* anello_ = nullptr;
    MiniaturePagine* miniature_ = nullptr;
    FoglioAnteprima* foglio_ = nullptr;
};

} // namespace vagolume
