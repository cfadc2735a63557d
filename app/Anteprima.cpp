#include "app/Anteprima.h"

#include "app/AnelloFuoco.h"
#include "app/MiniaturePagine.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/SuperficieQPainter.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDate>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vagolume {

namespace {
constexpr int kMargine = 12;                // pixels of grey round the sheet
constexpr QRgb kGiuSfondo = 0x1E5AA0;       // a button that stays down, with white text (6.9:1)
constexpr QRgb kGiuSfondoChiaro = 0x8CB8F0; // the same among dark buttons, with black text (10:1)
constexpr QRgb kRossoErrore = 0xC00000;     // a page typed that is not there

} // namespace

void Anteprima::CreaBottoni() {
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
    cmdPrima =
        bottone(QStringLiteral("cmdPrima"), QStringLiteral("«"),
                QStringLiteral("Prima pagina (Home, Ctrl+Home)"), false, QStringLiteral("Prima pagina"));
    cmdPrecedente =
        bottone(QStringLiteral("cmdPrecedente"), QStringLiteral("‹"),
                QStringLiteral("Pagina precedente (Pag su)"), false, QStringLiteral("Pagina precedente"));
    cmdSuccessiva =
        bottone(QStringLiteral("cmdSuccessiva"), QStringLiteral("›"),
                QStringLiteral("Pagina successiva (Pag giù)"), false, QStringLiteral("Pagina successiva"));
    cmdUltima =
        bottone(QStringLiteral("cmdUltima"), QStringLiteral("»"),
                QStringLiteral("Ultima pagina (Fine, Ctrl+Fine)"), false, QStringLiteral("Ultima pagina"));
    cmdLarghezza =
        bottone(QStringLiteral("cmdLarghezza"), QStringLiteral("Larghezza"),
                QStringLiteral("Adatta alla larghezza (+)"), false, QStringLiteral("Adatta alla larghezza"));
    cmdIntera = bottone(QStringLiteral("cmdIntera"), QStringLiteral("Pagina intera"),
                        QStringLiteral("Pagina intera (-)"), false, QStringLiteral("Pagina intera"));
    cmdMiniature = bottone(QStringLiteral("cmdMiniature"), QStringLiteral("&Miniature"),
                           QStringLiteral("Mostra o nasconde le miniature delle pagine (F9)"), true,
                           QStringLiteral("Miniature"));
    cmdStampa = bottone(QStringLiteral("cmdStampa"), QStringLiteral("S&tampa"),
                        QStringLiteral("Avvio della stampa (Ctrl+P)"), true, QStringLiteral("Stampa"));
    cmdChiudi = bottone(QStringLiteral("cmdChiudi"), QStringLiteral("&Chiudi"),
                        QStringLiteral("Torna alla scelta della stampante (Esc, Ctrl+W)"), true,
                        QStringLiteral("Chiudi"));
    for (QPushButton* b : {cmdPrima, cmdPrecedente, cmdSuccessiva, cmdUltima})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
    for (QPushButton* b : {cmdLarghezza, cmdIntera, cmdMiniature}) {
        b->setCheckable(true);
        // A button that stays down looks so under every theme: some dark
        // ones draw it hardly apart from one that is up.
        // Only the two colours are its own: the rest follows the desktop.
        // A dark blue among light buttons, a light one among dark buttons.
        connect(b, &QPushButton::toggled, b, [b](bool giu) {
            QPalette p;
            const bool scuri = b->parentWidget()->palette().color(QPalette::Button).lightnessF() < 0.5;
            if (giu)
                for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
                    p.setColor(g, QPalette::Button, QColor(scuri ? kGiuSfondoChiaro : kGiuSfondo));
                    p.setColor(g, QPalette::ButtonText, scuri ? Qt::black : Qt::white);
                }
            b->setPalette(p);
        });
    }
}

void Anteprima::CreaCampi() {
    // The page to go to, typed: Enter goes there, or says why it cannot.
    txtPagina = new QLineEdit(this);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    txtPagina->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), txtPagina));
    txtPagina->setAlignment(Qt::AlignRight);
    txtPagina->setFixedWidth(txtPagina->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    txtPagina->setToolTip(QStringLiteral("Numero della pagina da mostrare, poi Invio"));
    txtPagina->setAccessibleName(QStringLiteral("Vai alla pagina"));
    txtPagina->setAccessibleDescription(txtPagina->toolTip());
    txtPagina->setProperty("vagolumeNormale", QVariant::fromValue(txtPagina->palette()));
    lblVai_ = new QLabel(QStringLiteral("&Vai a:"), this);
    lblVai_->setBuddy(txtPagina);

    // The zoom and the page: their texts are what a screen reader reads.
    lblZoom = new QLabel(this);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setAccessibleDescription(QStringLiteral("Ingrandimento"));
    lblZoom->setToolTip(QStringLiteral("Ingrandimento: Ctrl++ e Ctrl+- o Ctrl+rotellina, da 25 a 400 %; "
                                       "Ctrl+0: 100 %"));
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance(QStringLiteral("400 %")) + 8);
    lblZoom->setAlignment(Qt::AlignCenter);
    lblPagina = new QLabel(this);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    lblPagina->setAccessibleDescription(QStringLiteral("Pagina mostrata"));
    lblPagina->setAlignment(Qt::AlignCenter);
    lblPagina->setWordWrap(true);
    // Wide enough for the longest run and date, so that the buttons do not
    // move (a page chosen to print widens it where there is room).
    lblPagina->setMinimumWidth(
        lblPagina->fontMetrics().horizontalAdvance(QStringLiteral("Pagina 0000 di 0000 - Mer 00 Set")) + 8);
}

void Anteprima::CreaArea() {
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
    // The page area shows that it has the keyboard, as every control does.
    anello_ =
        new AnelloFuoco(this, palette().color(QPalette::Highlight), palette().color(QPalette::WindowText));
}

void Anteprima::CreaMiniature() {
    miniature_ = new MiniaturePagine(pagine_, layout_, this);
    lstMiniature = new QListView(this);
    lstMiniature->setObjectName(QStringLiteral("lstMiniature"));
    lstMiniature->setAccessibleName(QStringLiteral("Miniature delle pagine"));
    lstMiniature->setAccessibleDescription(
        QStringLiteral("Le pagine del documento; Invio mostra quella scelta"));
    lstMiniature->setViewMode(QListView::IconMode);
    lstMiniature->setFlow(QListView::TopToBottom);
    lstMiniature->setWrapping(false);
    lstMiniature->setMovement(QListView::Static);
    lstMiniature->setResizeMode(QListView::Adjust);
    lstMiniature->setUniformItemSizes(true); // only the thumbnails in sight are asked for, and drawn
    lstMiniature->setSelectionMode(QAbstractItemView::SingleSelection);
    // Each thumbnail with its number and date, in bold for the pages chosen.
    const QSize icona = miniature_->Dimensione();
    QFont grassetto = lstMiniature->font();
    grassetto.setBold(true);
    const QFontMetrics misura(grassetto);
    const QSize cella(std::max(icona.width(), misura.horizontalAdvance(QStringLiteral("0000 · Mer 00 Set"))) +
                          12,
                      icona.height() + misura.height() + 14);
    lstMiniature->setIconSize(icona);
    lstMiniature->setGridSize(cella);
    lstMiniature->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstMiniature->setModel(miniature_);
    // The page shown in white on a blue dark enough to read it (6.9:1).
    QPalette p = lstMiniature->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, QColor(kGiuSfondo));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
    }
    lstMiniature->setPalette(p);
    lstMiniature->setFixedWidth(cella.width() + 2 * lstMiniature->frameWidth() + 4 +
                                lstMiniature->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    lstMiniature->hide();
}

void Anteprima::Disponi() {
    // The buttons in one row, or in two where one would not fit the screen.
    auto* sfoglia = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{cmdPrima, cmdPrecedente, lblVai_, txtPagina, lblPagina,
                                                      cmdSuccessiva, cmdUltima})
        sfoglia->addWidget(w);
    sfoglia->addStretch(1);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(cmdMiniature);
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
    auto* pagine = new QHBoxLayout;
    pagine->addWidget(lstMiniature);
    pagine->addWidget(area_, 1);
    auto* colonna = new QVBoxLayout(this);
    colonna->addLayout(barra);
    colonna->addLayout(pagine, 1);
    barra_ = barra;
}

void Anteprima::Collega() {
    connect(txtPagina, &QLineEdit::returnPressed, this, &Anteprima::VaiA);
    connect(txtPagina, &QLineEdit::textEdited, this, [this] { SegnalaPagina(QString()); });
    connect(cmdPrima, &QPushButton::clicked, this, [this] { MostraPagina(0); });
    connect(cmdPrecedente, &QPushButton::clicked, this, [this] { MostraPagina(Pagina() - 1); });
    connect(cmdSuccessiva, &QPushButton::clicked, this, [this] { MostraPagina(Pagina() + 1); });
    connect(cmdUltima, &QPushButton::clicked, this, [this] { MostraPagina(pagine_.Totale() - 1); });
    connect(cmdLarghezza, &QPushButton::clicked, this, [this] { ImpostaZoom(Zoom::Larghezza); });
    connect(cmdIntera, &QPushButton::clicked, this, [this] { ImpostaZoom(Zoom::PaginaIntera); });
    connect(cmdMiniature, &QPushButton::clicked, this, [this](bool giu) { MostraMiniature(giu); });
    connect(cmdStampa, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstMiniature->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& indice) {
                if (indice.isValid()) MostraPagina(indice.row());
            });
}

void Anteprima::Apri() {
    miniature_->ImpostaScelte(documento_.Scelte);
    // As it was when it last closed: its size, zoom, page and thumbnails; on
    // the first page chosen to print when some are.
    int pagina = stato_ ? stato_->Pagina : 0;
    if (!documento_.Scelte.isEmpty()) pagina = documento_.Scelte.first() - 1;
    MostraPagina(pagina);
    // A tall window: most of the screen's height, a sheet's proportions, room
    // for the page's label; never wider than the screen it opens on, at any
    // scale: the buttons in two rows where one would not fit, the label on
    // two lines where its row would not.
    if (const QScreen* schermo = Schermo()) {
        const QRect libero = schermo->availableGeometry();
        if (layout()->sizeHint().width() > libero.width() * 9 / 10)
            barra_->setDirection(QBoxLayout::TopToBottom);
        // The label on one line where the screen has room for it.
        const int riga = lblPagina->fontMetrics().horizontalAdvance(lblPagina->text()) + 8;
        if (layout()->sizeHint().width() + riga - lblPagina->sizeHint().width() <= libero.width() * 9 / 10)
            lblPagina->setMinimumWidth(std::max(lblPagina->minimumWidth(), riga));
        const int altezza = libero.height() * 9 / 10;
        resize(std::min(libero.width() * 9 / 10, std::max(altezza * 3 / 4, sizeHint().width())), altezza);
    }
    if (stato_ && stato_->Dimensione.isValid()) resize(stato_->Dimensione);
    ImpostaZoom(stato_ ? stato_->ComeZoom : Zoom::PaginaIntera, stato_ ? stato_->Percento : 100);
    MostraMiniature(stato_ && stato_->Miniature);
    area_->setFocus(Qt::OtherFocusReason);
}

void Anteprima::VaiA() {
    const int numero = txtPagina->text().toInt();
    if (numero < 1 || numero > pagine_.Totale()) {
        SegnalaPagina(
            txtPagina->text().isEmpty()
                ? QStringLiteral("scrivere il numero di una pagina, da 1 a %1").arg(pagine_.Totale())
                : QStringLiteral("la pagina %1 non c'è: le pagine vanno da 1 a %2")
                      .arg(txtPagina->text())
                      .arg(pagine_.Totale()));
        return;
    }
    MostraPagina(numero - 1);
    area_->setFocus(Qt::OtherFocusReason); // the keys turn pages again
}

void Anteprima::SegnalaPagina(const QString& motivo) {
    // Red, with the reason where the number was typed; back to black as soon
    // as it is typed again.
    QPalette p = txtPagina->property("vagolumeNormale").value<QPalette>();
    if (!motivo.isEmpty())
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            p.setColor(g, QPalette::Text, QColor(kRossoErrore));
    txtPagina->setPalette(p);
    const QString suggerimento =
        motivo.isEmpty() ? QStringLiteral("Numero della pagina da mostrare, poi Invio") : motivo;
    if (txtPagina->toolTip() == suggerimento) return;
    txtPagina->setToolTip(suggerimento);
    txtPagina->setAccessibleDescription(suggerimento);
    if (!motivo.isEmpty() && txtPagina->isVisible())
        QToolTip::showText(txtPagina->mapToGlobal(QPoint(0, txtPagina->height())), motivo, txtPagina);
    else
        QToolTip::hideText();
}

void Anteprima::MostraMiniature(bool mostra) {
    cmdMiniature->setChecked(mostra);
    lstMiniature->setVisible(mostra);
    if (mostra) lstMiniature->scrollTo(miniature_->index(Pagina()), QAbstractItemView::PositionAtCenter);
}

const QScreen* Anteprima::Schermo() const {
    return parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
}

bool Anteprima::Miniature() const {
    return !lstMiniature->isHidden();
}

bool Anteprima::Scelta(int N) const {
    return miniature_->Scelta(N);
}

Anteprima::~Anteprima() = default;

void Anteprima::done(int esito) {
    if (stato_) *stato_ = Stato{size(), zoom_, percento_, Pagina(), Miniature(), true};
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
    const QString descrizione = DescrizionePagina(pagine_, N);
    lblPagina->setText(QStringLiteral("Pagina %1 di %2%3%4")
                           .arg(N + 1)
                           .arg(pagine_.Totale())
                           .arg(descrizione.isEmpty() ? QString() : QStringLiteral(" - ") + descrizione,
                                Scelta(N) ? QStringLiteral(" (da stampare)") : QString()));
    txtPagina->setText(QString::number(N + 1));
    SegnalaPagina(QString());
    if (lstMiniature->currentIndex().row() != N) lstMiniature->setCurrentIndex(miniature_->index(N));
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

bool Anteprima::TastoCtrl(const QKeyEvent* tasto) {
    switch (tasto->key()) {
    // Ctrl++ (with Shift where + needs it; Ctrl+= too) and Ctrl+-: a zoom step.
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        PassoZoom(1);
        return true;
    case Qt::Key_Minus:
        PassoZoom(-1);
        return true;
    case Qt::Key_0:
        ImpostaZoom(Zoom::Percento, 100);
        return true;
    case Qt::Key_Home:
        MostraPagina(0);
        return true;
    case Qt::Key_End:
        MostraPagina(pagine_.Totale() - 1);
        return true;
    case Qt::Key_P:
        cmdStampa->click();
        return true;
    case Qt::Key_W:
        cmdChiudi->click();
        return true;
    default:
        return false;
    }
}

bool Anteprima::Tasto(const QKeyEvent* tasto) {
    const auto modificatori = tasto->modifiers() & ~Qt::KeypadModifier;
    if ((modificatori & ~Qt::ShiftModifier) == Qt::ControlModifier) return TastoCtrl(tasto);
    if (modificatori == Qt::NoModifier && tasto->key() == Qt::Key_F11) {
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return true;
    }
    if (modificatori == Qt::NoModifier && tasto->key() == Qt::Key_F9) {
        MostraMiniature(!Miniature());
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
    if (oggetto == area_ && anello_) {
        if (evento->type() == QEvent::FocusIn ||
            (anello_->isVisible() && (evento->type() == QEvent::Move || evento->type() == QEvent::Resize)))
            anello_->Segui(area_);
        else if (evento->type() == QEvent::FocusOut || evento->type() == QEvent::Hide)
            anello_->Segui(nullptr);
    }
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
    if (primaVolta_) {
        primaVolta_ = false;
        if (!stato_ || !stato_->Aperta) ZoomIniziale();
    }
}

void Anteprima::ZoomIniziale() {
    // The first opening: the widest fit that is still readable, scrolling if
    // needed (a small screen at a large scale has room for a page at a fifth
    // of its size only).
    constexpr int kLeggibile = 50;
    ImpostaZoom(Zoom::PaginaIntera);
    if (Percento() >= kLeggibile) return;
    ImpostaZoom(Zoom::Larghezza);
    if (Percento() >= kLeggibile) return;
    ImpostaZoom(Zoom::Percento, kLeggibile);
}

} // namespace vagolume
