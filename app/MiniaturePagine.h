#pragma once
// The preview's strip of page thumbnails: each page drawn small, with its
// number and date, only when the strip first shows it.

#include "app/Anteprima.h"
#include "sheet/Pagine.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace vagolume {

inline constexpr QRgb kSceltaBordo = 0xD06000; // the frame of a thumbnail of a page chosen to print
inline constexpr int kLatoMiniatura = 96;      // a thumbnail's width, in pixels at scale 1
inline constexpr int kMiniatureTenute = 64;    // thumbnails kept drawn; others are drawn again when seen

// The whole sheet of paper of a layout, in millimetres.
inline QRectF Carta(const QPageLayout& layout) {
    return layout.fullRect(QPageLayout::Millimeter);
}

// The thumbnails of the pages, drawn when the strip first shows them; only
// the latest few are kept, so that a year's strip costs what a few pages do.
class MiniaturePagine : public QAbstractListModel {
public:
    MiniaturePagine(Pagine& pagine, const QPageLayout& layout, QWidget* vista)
        : QAbstractListModel(vista), pagine_(pagine), layout_(layout), vista_(vista) {}
    QSize Dimensione() const {
        const QRectF carta = Carta(layout_);
        return {kLatoMiniatura,
                static_cast<int>(std::lround(kLatoMiniatura * carta.height() / carta.width()))};
    }
    void ImpostaScelte(const QList<int>& scelte) {
        scelte_ = scelte;
        if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1));
    }
    bool Scelta(int N) const { return scelte_.contains(N + 1); }
    int rowCount(const QModelIndex& padre = QModelIndex()) const override {
        return padre.isValid() ? 0 : pagine_.Totale();
    }
    QVariant data(const QModelIndex& indice, int ruolo) const override {
        const int N = indice.row();
        if (!indice.isValid() || N < 0 || N >= pagine_.Totale()) return {};
        const QString descrizione = DescrizionePagina(pagine_, N);
        switch (ruolo) {
        case Qt::DisplayRole:
            return descrizione.isEmpty() ? QString::number(N + 1)
                                         : QStringLiteral("%1 · %2").arg(N + 1).arg(descrizione);
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            return QStringLiteral("Pagina %1%2%3")
                .arg(N + 1)
                .arg(descrizione.isEmpty() ? QString() : QStringLiteral(" - ") + descrizione,
                     Scelta(N) ? QStringLiteral(", da stampare") : QString());
        case Qt::FontRole:
            if (Scelta(N)) {
                QFont f = vista_->font();
                f.setBold(true);
                return f;
            }
            return {};
        case Qt::DecorationRole:
            return Immagine(N);
        default:
            return {};
        }
    }

private:
    // The same picture whether chosen or not: a style would tint it with
    // the selection's colour.
    QIcon Immagine(int N) const {
        if (const auto trovata = tenute_.constFind(N); trovata != tenute_.constEnd()) return *trovata;
        const qreal densita = vista_->devicePixelRatioF();
        const QSize lato = Dimensione() * densita;
        QImage immagine = ImmaginePagina(pagine_, N, layout_, lato.width() / Carta(layout_).width());
        if (Scelta(N)) {
            // A page chosen to print is framed, as the label says.
            QPainter p(&immagine);
            const int spessore = std::max(3, static_cast<int>(3 * densita));
            p.setPen(QPen(QColor(kSceltaBordo), spessore, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(QRectF(immagine.rect())
                           .adjusted(spessore / 2.0, spessore / 2.0, -spessore / 2.0, -spessore / 2.0));
        }
        QPixmap pixmap = QPixmap::fromImage(immagine);
        pixmap.setDevicePixelRatio(densita);
        QIcon icona;
        icona.addPixmap(pixmap, QIcon::Normal);
        icona.addPixmap(pixmap, QIcon::Selected);
        if (tenute_.size() >= kMiniatureTenute) tenute_.clear();
        tenute_.insert(N, icona);
        return icona;
    }

    Pagine& pagine_;
    QPageLayout layout_;
    QWidget* vista_;
    QList<int> scelte_;
    mutable QHash<int, QIcon> tenute_;
};

} // namespace vagolume
