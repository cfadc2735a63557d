#include "app/Anteprima.h"

#include "print/DocumentoStampa.h"
#include "print/SuperficieQPainter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vagolume {

namespace {
constexpr int kMargine = 12; // pixels of grey round the sheet

QRectF Carta(const QPageLayout& layout) {
    return layout.fullRect(QPageLayout::Millimeter);
}
} // namespace

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

Anteprima::Anteprima(Pagine& pagine, const QPageLayout& layout, QWidget* padre, Stato* stato)
    : QDialog(padre), pagine_(pagine), layout_(layout), stato_(stato) {
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

    // The page to go to, typed: Enter goes there.
    txtPagina = new QLineEdit(this);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    txtPagina->setValidator(new QIntValidator(1, pagine_.Totale(), txtPagina));
    txtPagina->setAlignment(Qt::AlignRight);
    txtPagina->setFixedWidth(txtPagina->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    txtPagina->setToolTip(QStringLiteral("Numero della pagina da mostrare, poi Invio"));
    txtPagina->setAccessibleName(QStringLiteral("Vai alla pagina"));
    txtPagina->setAccessibleDescription(txtPagina->toolTip());
    auto* lblVai = new QLabel(QStringLiteral("&Vai a:"), this);
    lblVai->setBuddy(txtPagina);
    connect(txtPagina, &QLineEdit::returnPressed, this, [this] {
        MostraPagina(txtPagina->text().toInt() - 1);
        area_->setFocus(Qt::OtherFocusReason); // the keys turn pages again
    });
    lblZoom = new QLabel(this);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setAccessibleName(QStringLiteral("Ingrandimento"));
    lblZoom->setToolTip(QStringLiteral("Ingrandimento: Ctrl++ e Ctrl+- o Ctrl+rotellina, da 25 a 400 %"));
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance(QStringLiteral("400 %")) + 8);
    lblZoom->setAlignment(Qt::AlignCenter);

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
    area_->setAccessibleDescription(QStringLiteral(
        "Frecce, Pag su, Pag giù, Spazio e rotellina cambiano pagina; + e - adattano il foglio, "
        "Ctrl++, Ctrl+- e Ctrl+rotellina lo ingrandiscono"));
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
    sfoglia->addWidget(lblVai);
    sfoglia->addWidget(txtPagina);
    sfoglia->addWidget(lblPagina);
    sfoglia->addWidget(cmdSuccessiva);
    sfoglia->addWidget(cmdUltima);
    sfoglia->addStretch(1);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(cmdLarghezza);
    comandi->addWidget(cmdIntera);
    comandi->addWidget(lblZoom);
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
    // As it was when it last closed: its size, zoom and page.
    if (stato_ && stato_->Dimensione.isValid()) resize(stato_->Dimensione);
    MostraPagina(stato_ ? stato_->Pagina : 0);
    ImpostaZoom(stato_ ? stato_->ComeZoom : Zoom::PaginaIntera, stato_ ? stato_->Percento : 100);
    area_->setFocus(Qt::OtherFocusReason);
}

Anteprima::~Anteprima() = default;

void Anteprima::done(int esito) {
    if (stato_) *stato_ = Stato{size(), zoom_, percento_, Pagina()};
    QDialog::done(esito);
}

double Anteprima::PuntiAlCento() const {
    const QScreen* schermo = screen();
    const double dpi = schermo ? schermo->logicalDotsPerInchX() : 96.0;
    return Carta(layout_).width() / 25.4 * dpi;
}

int Anteprima::Percento() const {
    return static_cast<int>(std::lround(foglio_->width() * 100.0 / PuntiAlCento()));
}

void Anteprima::PassoZoom(int verso) {
    const int attuale = Percento();
    int scelto = verso > 0 ? std::end(kPassiZoom)[-1] : kPassiZoom[0];
    for (int passo : kPassiZoom) {
        if (verso > 0 && passo > attuale) {
            scelto = passo;
            break;
        }
        if (verso < 0 && passo < attuale) scelto = passo;
    }
    ImpostaZoom(Zoom::Percento, scelto);
}

void Anteprima::Scorri(int verso, bool orizzontale, bool schermata) {
    QScrollBar* barra = orizzontale ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    const int passo = schermata ? barra->pageStep() : std::max(1, barra->pageStep() / 8);
    if (verso > 0 ? barra->value() < barra->maximum() : barra->value() > barra->minimum()) {
        barra->setValue(barra->value() + verso * passo);
        return;
    }
    // At the edge: the next page from its top, the previous one from its bottom.
    const int prima = Pagina();
    MostraPagina(prima + verso);
    if (Pagina() != prima && verso < 0) barra->setValue(barra->maximum());
}

void Anteprima::MostraPagina(int N) {
    N = std::clamp(N, 0, pagine_.Totale() - 1);
    foglio_->ImpostaPagina(N);
    lblPagina->setText(QStringLiteral("Pagina %1 di %2").arg(N + 1).arg(pagine_.Totale()));
    txtPagina->setText(QString::number(N + 1));
    cmdPrima->setEnabled(N > 0);
    cmdPrecedente->setEnabled(N > 0);
    cmdSuccessiva->setEnabled(N < pagine_.Totale() - 1);
    cmdUltima->setEnabled(N < pagine_.Totale() - 1);
    area_->verticalScrollBar()->setValue(0);
    area_->horizontalScrollBar()->setValue(0);
}

void Anteprima::ImpostaZoom(Zoom zoom, int percento) {
    zoom_ = zoom;
    percento_ = std::clamp(percento, kPassiZoom[0], std::end(kPassiZoom)[-1]);
    // The two fits are buttons that stay down; a zoom step leaves both up.
    cmdLarghezza->setChecked(zoom == Zoom::Larghezza);
    cmdIntera->setChecked(zoom == Zoom::PaginaIntera);
    // The scroll bar of the width view is always there, so that showing it
    // never narrows the sheet it was made for.
    area_->setVerticalScrollBarPolicy(zoom == Zoom::Larghezza      ? Qt::ScrollBarAlwaysOn
                                      : zoom == Zoom::PaginaIntera ? Qt::ScrollBarAlwaysOff
                                                                   : Qt::ScrollBarAsNeeded);
    area_->setHorizontalScrollBarPolicy(zoom == Zoom::Percento ? Qt::ScrollBarAsNeeded
                                                               : Qt::ScrollBarAlwaysOff);
    Dimensiona();
}

void Anteprima::Dimensiona() {
    const QRectF carta = Carta(layout_);
    const double proporzione = carta.height() / carta.width();
    const QSize libero = area_->viewport()->size() - QSize(2 * kMargine, 2 * kMargine);
    int larghezza = libero.width();
    if (zoom_ == Zoom::PaginaIntera)
        larghezza = std::min(larghezza, static_cast<int>(libero.height() / proporzione));
    if (zoom_ == Zoom::Percento) larghezza = static_cast<int>(std::lround(PuntiAlCento() * percento_ / 100));
    larghezza = std::max(larghezza, 50);
    foglio_->setFixedSize(larghezza, static_cast<int>(std::lround(larghezza * proporzione)));
    lblZoom->setText(QStringLiteral("%1 %").arg(Percento()));
}

bool Anteprima::Tasto(const QKeyEvent* tasto) {
    const auto modificatori = tasto->modifiers() & ~Qt::KeypadModifier;
    if ((modificatori & ~Qt::ShiftModifier) == Qt::ControlModifier) {
        // Ctrl++ (with Shift where + needs it; Ctrl+= too) and Ctrl+-: a zoom step.
        if (tasto->key() == Qt::Key_Plus || tasto->key() == Qt::Key_Equal)
            PassoZoom(1);
        else if (tasto->key() == Qt::Key_Minus)
            PassoZoom(-1);
        else
            return false;
        return true;
    }
    if (modificatori == Qt::ShiftModifier && tasto->key() == Qt::Key_Space) {
        Scorri(-1, false, true);
        return true;
    }
    if (modificatori & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (tasto->key()) {
    case Qt::Key_Down:
        Scorri(1, false, false);
        return true;
    case Qt::Key_Up:
        Scorri(-1, false, false);
        return true;
    case Qt::Key_Right:
        Scorri(1, true, false);
        return true;
    case Qt::Key_Left:
        Scorri(-1, true, false);
        return true;
    case Qt::Key_Space:
        // A button with the focus takes Space itself.
        if (qobject_cast<QPushButton*>(focusWidget())) return false;
        Scorri(1, false, true);
        return true;
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
    if (evento->type() == QEvent::Wheel && oggetto == area_->viewport()) {
        // The wheel turns pages as the arrow keys do; with Ctrl it zooms. A
        // step is a notch (120), gathered from the small turns of a touchpad.
        const auto* rotella = static_cast<QWheelEvent*>(evento);
        rotella_ += rotella->angleDelta().y();
        for (; std::abs(rotella_) >= 120; rotella_ -= rotella_ > 0 ? 120 : -120) {
            if (rotella->modifiers() & Qt::ControlModifier)
                PassoZoom(rotella_ > 0 ? 1 : -1);
            else
                Scorri(rotella_ > 0 ? -1 : 1, false, false);
        }
        return true;
    }
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
