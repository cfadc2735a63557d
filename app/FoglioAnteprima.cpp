#include "app/Anteprima.h"

#include "app/MiniaturePagine.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/SuperficieQPainter.h"

#include <QDate>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace vagolume {

QString DescrizionePagina(const Pagine& pagine, int N) {
    if (N <= 0) return QStringLiteral("Copertina");
    const ContestoStampa& c = pagine.Valori();
    if (!c.DatiInseriti || N > pagine.Fogli()) return {};
    const QDate data = c.DataInizio.addDays(N - 1);
    if (!data.isValid()) return {};
    return QStringLiteral("%1 %2 %3").arg(NomeGiorno(data)).arg(data.day()).arg(NomeMese(data));
}

QImage ImmaginePagina(Pagine& pagine, int N, const QPageLayout& layout, double puntiPerMm, QRect parte) {
    const QRectF carta = Carta(layout);
    const QRect foglio(0, 0, std::max(1, static_cast<int>(std::lround(carta.width() * puntiPerMm))),
                       std::max(1, static_cast<int>(std::lround(carta.height() * puntiPerMm))));
    parte = parte.isNull() ? foglio : parte & foglio;
    if (parte.isEmpty()) parte = QRect(0, 0, 1, 1);
    QImage immagine(parte.size(), QImage::Format_RGB32);
    // The image's own resolution, so that a point is a point on it.
    const int puntiPerMetro = static_cast<int>(std::lround(puntiPerMm * 1000));
    immagine.setDotsPerMeterX(puntiPerMetro);
    immagine.setDotsPerMeterY(puntiPerMetro);
    immagine.fill(Qt::white);
    QPainter p(&immagine);
    p.setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // The page is drawn from the top-left corner of the printable area, which
    // the PDF a run is drawn into puts at whole points from the paper's edge.
    const QPointF origine = QPointF(layout.paintRectPoints().topLeft()) * 25.4 / 72;
    p.translate(origine.x() * puntiPerMm - parte.x(), origine.y() * puntiPerMm - parte.y());
    // As on paper: a printer narrower than the sheet gets it shrunk.
    const double scala = ScalaFoglio(layout);
    SuperficieQPainter s(&p, puntiPerMm * scala, AltezzaFoglio(layout));
    pagine.DisegnaSola(s, N);
    return immagine;
}

FoglioAnteprima::FoglioAnteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre)
    : QWidget(padre), pagine_(pagine), layout_(layout) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FoglioAnteprima::ImpostaPagina(int N) {
    if (N == pagina_) return;
    pagina_ = N;
    update();
}

const QImage& FoglioAnteprima::Immagine() {
    const qreal densita = devicePixelRatioF();
    const QSize foglio(std::max(1, static_cast<int>(std::lround(width() * densita))),
                       std::max(1, static_cast<int>(std::lround(height() * densita))));
    // Only what can be seen is drawn: a sheet zoomed in is far larger than
    // the screen.
    QRect visibile = visibleRegion().boundingRect();
    if (visibile.isEmpty()) visibile = rect();
    const QRect parte = QRect(QPoint(static_cast<int>(std::floor(visibile.left() * densita)),
                                     static_cast<int>(std::floor(visibile.top() * densita))),
                              QPoint(static_cast<int>(std::ceil((visibile.right() + 1) * densita)) - 1,
                                     static_cast<int>(std::ceil((visibile.bottom() + 1) * densita)) - 1)) &
                        QRect(QPoint(0, 0), foglio);
    if (immagine_.isNull() || paginaImmagine_ != pagina_ || foglioImmagine_ != foglio ||
        parteImmagine_ != parte) {
        // Only the page on screen is kept: the one shown before is let go.
        immagine_ = QImage();
        immagine_ = ImmaginePagina(pagine_, pagina_, layout_, foglio.width() / Carta(layout_).width(), parte);
        immagine_.setDevicePixelRatio(densita);
        paginaImmagine_ = pagina_;
        foglioImmagine_ = foglio;
        parteImmagine_ = parte;
    }
    return immagine_;
}

void FoglioAnteprima::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QImage& immagine = Immagine();
    p.drawImage(QPointF(parteImmagine_.topLeft()) / devicePixelRatioF(), immagine);
    emit Mostrata(pagina_);
    if (!preparato_) {
        // The first sheet drawn loads its typefaces and glyphs, which takes
        // longer than any later page. Done once while the user looks at the
        // first page, it makes the first page change as quick as the others;
        // the image is let go, as only the page on screen is kept.
        preparato_ = true;
        QTimer::singleShot(0, this, [this] {
            const int altra = pagina_ + 1 < pagine_.Totale() ? pagina_ + 1 : pagina_ - 1;
            if (altra >= 0 && foglioImmagine_.width() > 0)
                ImmaginePagina(pagine_, altra, layout_, foglioImmagine_.width() / Carta(layout_).width(),
                               parteImmagine_);
        });
    }
}

Anteprima::Anteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre, Stato* stato,
                     Documento documento)
    : QDialog(padre), pagine_(pagine), layout_(layout), stato_(stato), documento_(std::move(documento)) {
    setWindowTitle(documento_.Nome.isEmpty()
                       ? QStringLiteral("Anteprima di stampa")
                       : QStringLiteral("Anteprima di stampa - %1").arg(documento_.Nome));
    setObjectName(QStringLiteral("Anteprima"));
    setModal(true);
    CreaBottoni();
    CreaCampi();
    CreaArea();
    CreaMiniature();
    Disponi();
    Collega();
    Apri();
}

} // namespace vagolume
