#include "app/Anteprima.h"

#include "print/DocumentoStampa.h"
#include "print/SuperficieQPainter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vagolume {

namespace {
constexpr int kMargine = 12; // pixels of grey round the sheet

QRectF Carta(const QPageLayout& layout) {
    return layout.fullRect(QPageLayout::Millimeter);
}
} // namespace

QImage ImmaginePagina(Pagine& pagine, int N, const QPageLayout& layout, double puntiPerMm) {
    const QRectF carta = Carta(layout);
    const QRectF area = layout.paintRect(QPageLayout::Millimeter);
    QImage immagine(std::max(1, static_cast<int>(std::lround(carta.width() * puntiPerMm))),
                    std::max(1, static_cast<int>(std::lround(carta.height() * puntiPerMm))),
                    QImage::Format_RGB32);
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
    p.translate(origine.x() * puntiPerMm, origine.y() * puntiPerMm);
    // As on paper: a printer narrower than the sheet gets it shrunk.
    const double scala = ScalaFoglio(layout);
    SuperficieQPainter s(&p, puntiPerMm * scala, static_cast<float>(area.height() / scala));
    pagine.DisegnaSola(s, N, PassoMuto);
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
    const int larghezza = std::max(1, static_cast<int>(std::lround(width() * densita)));
    if (immagine_.isNull() || paginaImmagine_ != pagina_ || immagine_.width() != larghezza) {
        // Only the page on screen is kept: the one shown before is let go.
        immagine_ = QImage();
        immagine_ = ImmaginePagina(pagine_, pagina_, layout_, larghezza / Carta(layout_).width());
        immagine_.setDevicePixelRatio(densita);
        paginaImmagine_ = pagina_;
    }
    return immagine_;
}

void FoglioAnteprima::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(QPointF(0, 0), Immagine());
    emit Mostrata(pagina_);
    if (!preparato_) {
        // The first sheet drawn loads its typefaces and glyphs, which takes
        // longer than any later page. Done once while the user looks at the
        // first page, it makes the first page change as quick as the others;
        // the image is let go, as only the page on screen is kept.
        preparato_ = true;
        QTimer::singleShot(0, this, [this] {
            const int altra = pagina_ + 1 < pagine_.Totale() ? pagina_ + 1 : pagina_ - 1;
            if (altra >= 0 && immagine_.width() > 0)
                ImmaginePagina(pagine_, altra, layout_, immagine_.width() / Carta(layout_).width());
        });
    }
}

Anteprima::Anteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre)
    : QDialog(padre), pagine_(pagine), layout_(layout) {
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    setObjectName(QStringLiteral("Anteprima"));
    setModal(true);

    auto bottone = [this](const QString& nome, const QString& testo, const QString& suggerimento, bool fuoco,
                          const QString& nomeAccessibile) {
        auto* b = new QPushButton(testo, this);
        b->setObjectName(nome);
        b->setToolTip(suggerimento);
        // What a screen reader says: a name, not the arrow drawn on it.
        b->setAccessibleName(nomeAccessibile);
        b->setAccessibleDescription(suggerimento);
        b->setAutoDefault(false); // Enter presses only the button that has the focus
        // Browsing buttons leave the focus on the sheet, where the keys work.
        if (!fuoco) b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
        return b;
    };
    cmdPrima = bottone(QStringLiteral("cmdPrima"), QStringLiteral("«"), QStringLiteral("Prima pagina (Home)"),
                       false, QStringLiteral("Prima pagina"));
    cmdPrecedente =
        bottone(QStringLiteral("cmdPrecedente"), QStringLiteral("‹"),
                QStringLiteral("Pagina precedente (Pag su)"), false, QStringLiteral("Pagina precedente"));
    cmdSuccessiva =
        bottone(QStringLiteral("cmdSuccessiva"), QStringLiteral("›"),
                QStringLiteral("Pagina successiva (Pag giù)"), false, QStringLiteral("Pagina successiva"));
    cmdUltima = bottone(QStringLiteral("cmdUltima"), QStringLiteral("»"),
                        QStringLiteral("Ultima pagina (Fine)"), false, QStringLiteral("Ultima pagina"));
    cmdLarghezza =
        bottone(QStringLiteral("cmdLarghezza"), QStringLiteral("Larghezza"),
                QStringLiteral("Adatta alla larghezza (+)"), false, QStringLiteral("Adatta alla larghezza"));
    cmdIntera = bottone(QStringLiteral("cmdIntera"), QStringLiteral("Pagina intera"),
                        QStringLiteral("Pagina intera (-)"), false, QStringLiteral("Pagina intera"));
    cmdStampa = bottone(QStringLiteral("cmdStampa"), QStringLiteral("S&tampa"),
                        QStringLiteral("Avvio della stampa"), true, QStringLiteral("Stampa"));
    cmdChiudi = bottone(QStringLiteral("cmdChiudi"), QStringLiteral("&Chiudi"),
                        QStringLiteral("Torna alla scelta della stampante"), true, QStringLiteral("Chiudi"));
    for (QPushButton* b : {cmdPrima, cmdPrecedente, cmdSuccessiva, cmdUltima})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
    for (QPushButton* b : {cmdLarghezza, cmdIntera})
        b->setCheckable(true);
    auto* gruppoZoom = new QButtonGroup(this);
    gruppoZoom->addButton(cmdLarghezza);
    gruppoZoom->addButton(cmdIntera);

    lblPagina = new QLabel(this);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    lblPagina->setAccessibleName(QStringLiteral("Pagina mostrata"));
    lblPagina->setAlignment(Qt::AlignCenter);
    // Wide enough for the longest run, so that the buttons do not move.
    lblPagina->setMinimumWidth(
        lblPagina->fontMetrics().horizontalAdvance(QStringLiteral("Pagina 0000 di 0000")) + 8);

    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("areaAnteprima"));
    area_->setAccessibleName(QStringLiteral("Anteprima della pagina"));
    area_->setAccessibleDescription(
        QStringLiteral("Pag su e Pag giù cambiano pagina, + e - l'ingrandimento"));
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Dark);
    area_->installEventFilter(this);
    area_->viewport()->installEventFilter(this);
    foglio_ = new FoglioAnteprima(pagine_, layout_, area_);
    foglio_->setObjectName(QStringLiteral("foglioAnteprima"));
    foglio_->setAccessibleName(QStringLiteral("Foglio"));
    foglio_->setAccessibleDescription(QStringLiteral("La pagina come uscirà dalla stampante"));
    area_->setWidget(foglio_);

    // The buttons in one row, or in two where one would not fit the screen.
    auto* sfoglia = new QHBoxLayout;
    sfoglia->addWidget(cmdPrima);
    sfoglia->addWidget(cmdPrecedente);
    sfoglia->addWidget(lblPagina);
    sfoglia->addWidget(cmdSuccessiva);
    sfoglia->addWidget(cmdUltima);
    sfoglia->addStretch(1);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(cmdLarghezza);
    comandi->addWidget(cmdIntera);
    comandi->addStretch(1);
    comandi->addWidget(cmdStampa);
    comandi->addWidget(cmdChiudi);
    auto* barra = new QBoxLayout(QBoxLayout::LeftToRight);
    barra->addLayout(sfoglia);
    barra->addSpacing(16);
    barra->addLayout(comandi, 1);
    auto* colonna = new QVBoxLayout(this);
    colonna->addLayout(barra);
    colonna->addWidget(area_, 1);

    connect(cmdPrima, &QPushButton::clicked, this, [this] { MostraPagina(0); });
    connect(cmdPrecedente, &QPushButton::clicked, this, [this] { MostraPagina(Pagina() - 1); });
    connect(cmdSuccessiva, &QPushButton::clicked, this, [this] { MostraPagina(Pagina() + 1); });
    connect(cmdUltima, &QPushButton::clicked, this, [this] { MostraPagina(pagine_.Totale() - 1); });
    connect(cmdLarghezza, &QPushButton::clicked, this, [this] { ImpostaZoom(Zoom::Larghezza); });
    connect(cmdIntera, &QPushButton::clicked, this, [this] { ImpostaZoom(Zoom::PaginaIntera); });
    connect(cmdStampa, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);

    // A tall window: most of the screen's height, a sheet's proportions;
    // never wider than the screen it opens on, at any scale.
    if (const QScreen* schermo = padre ? padre->screen() : QGuiApplication::primaryScreen()) {
        const QRect libero = schermo->availableGeometry();
        const int larghezza = libero.width() * 9 / 10;
        if (colonna->minimumSize().width() > larghezza) barra->setDirection(QBoxLayout::TopToBottom);
        const int altezza = libero.height() * 9 / 10;
        resize(std::min(larghezza, std::max(altezza * 3 / 4, sizeHint().width())), altezza);
    }
    MostraPagina(0);
    ImpostaZoom(Zoom::PaginaIntera);
    area_->setFocus(Qt::OtherFocusReason);
}

Anteprima::~Anteprima() = default;

void Anteprima::MostraPagina(int N) {
    N = std::clamp(N, 0, pagine_.Totale() - 1);
    foglio_->ImpostaPagina(N);
    lblPagina->setText(QStringLiteral("Pagina %1 di %2").arg(N + 1).arg(pagine_.Totale()));
    cmdPrima->setEnabled(N > 0);
    cmdPrecedente->setEnabled(N > 0);
    cmdSuccessiva->setEnabled(N < pagine_.Totale() - 1);
    cmdUltima->setEnabled(N < pagine_.Totale() - 1);
    area_->verticalScrollBar()->setValue(0);
}

void Anteprima::ImpostaZoom(Zoom zoom) {
    zoom_ = zoom;
    cmdLarghezza->setChecked(zoom == Zoom::Larghezza);
    cmdIntera->setChecked(zoom == Zoom::PaginaIntera);
    // The scroll bar of the width view is always there, so that showing it
    // never narrows the sheet it was made for.
    area_->setVerticalScrollBarPolicy(zoom == Zoom::Larghezza ? Qt::ScrollBarAlwaysOn
                                                              : Qt::ScrollBarAlwaysOff);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Dimensiona();
}

void Anteprima::Dimensiona() {
    const QRectF carta = Carta(layout_);
    const double proporzione = carta.height() / carta.width();
    const QSize libero = area_->viewport()->size() - QSize(2 * kMargine, 2 * kMargine);
    int larghezza = libero.width();
    if (zoom_ == Zoom::PaginaIntera)
        larghezza = std::min(larghezza, static_cast<int>(libero.height() / proporzione));
    larghezza = std::max(larghezza, 50);
    foglio_->setFixedSize(larghezza, static_cast<int>(std::lround(larghezza * proporzione)));
}

bool Anteprima::Tasto(const QKeyEvent* tasto) {
    if (tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (tasto->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button with the focus and nothing else, whatever
        // keys a desktop theme gives buttons.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isEnabled()) b->click();
        return true;
    case Qt::Key_PageDown:
        MostraPagina(Pagina() + 1);
        return true;
    case Qt::Key_PageUp:
        MostraPagina(Pagina() - 1);
        return true;
    case Qt::Key_Home:
        MostraPagina(0);
        return true;
    case Qt::Key_End:
        MostraPagina(pagine_.Totale() - 1);
        return true;
    case Qt::Key_Plus:
        ImpostaZoom(Zoom::Larghezza);
        return true;
    case Qt::Key_Minus:
        ImpostaZoom(Zoom::PaginaIntera);
        return true;
    default:
        return false;
    }
}

bool Anteprima::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && Tasto(static_cast<QKeyEvent*>(evento))) return true;
    if (evento->type() == QEvent::Resize && oggetto == area_->viewport()) Dimensiona();
    return QDialog::eventFilter(oggetto, evento);
}

void Anteprima::keyPressEvent(QKeyEvent* evento) {
    if (Tasto(evento)) return;
    QDialog::keyPressEvent(evento); // Escape closes
}

void Anteprima::resizeEvent(QResizeEvent* evento) {
    QDialog::resizeEvent(evento);
    Dimensiona();
}

void Anteprima::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    Dimensiona();
}

} // namespace vagolume
