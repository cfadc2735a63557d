#include "print/FontState.h"

#include <QBuffer>
#include <QFontInfo>
#include <QPdfWriter>

namespace vagolume {

namespace {
constexpr double kMillimetresPerInch = 25.4;
constexpr int kMeasureResolution = 1200;
constexpr qsizetype kMaxTestoInCache = 256; // longer texts are measured every time

// A PDF writer that is never painted on: only its resolution is used.
struct BufferHolder {
    QBuffer buffer;
};
class FontStateDevice : private BufferHolder, public QPdfWriter {
public:
    FontStateDevice() : QPdfWriter(&buffer) { setResolution(kMeasureResolution); }
};
} // namespace

FontState::FontState(QPaintDevice* device) : device_(device) {
    if (device_ == nullptr) {
        ownDevice_ = std::make_unique<FontStateDevice>();
        device_ = ownDevice_.get();
    }
    resolution_ = device_->logicalDpiY();
    font_.setPointSizeF(size_);
}

FontState::~FontState() = default;

void FontState::Changed() {
    misure_ = nullptr;
}

void FontState::SetName(const QString& name) {
    if (font_.family() == name && resolvedName_) return;
    font_.setFamily(name);
    resolvedName_.reset();
    cache_.clear();
    Changed();
}

QString FontState::Name() {
    if (!resolvedName_) resolvedName_ = QFontInfo(font_).family();
    return *resolvedName_;
}

void FontState::SetSize(float points) {
    if (!(points > 0.0f)) points = 0.1f;
    if (points == size_) return;
    size_ = points;
    font_.setPointSizeF(points);
    Changed();
}

void FontState::SetBold(bool bold) {
    if (font_.bold() == bold) return;
    font_.setBold(bold);
    Changed();
}

void FontState::SetItalic(bool italic) {
    if (font_.italic() == italic) return;
    font_.setItalic(italic);
    Changed();
}

const QFont& FontState::Font() {
    return font_;
}

const QFontMetricsF& FontState::Metrics() {
    return Correnti().metrics;
}

FontState::Misure& FontState::Correnti() {
    if (misure_ == nullptr) {
        const auto chiave = std::make_tuple(size_, font_.bold(), font_.italic());
        auto it = cache_.find(chiave);
        if (it == cache_.end()) it = cache_.emplace(chiave, Misure{QFontMetricsF(font_, device_), {}}).first;
        misure_ = &it->second;
    }
    return *misure_;
}

float FontState::Width(const QString& text) {
    Misure& m = Correnti();
    const auto trovata = m.larghezze.constFind(text);
    if (trovata != m.larghezze.constEnd()) return *trovata;
    const auto larghezza =
        static_cast<float>(m.metrics.horizontalAdvance(text) * kMillimetresPerInch / resolution_);
    if (text.size() <= kMaxTestoInCache) m.larghezze.insert(text, larghezza);
    return larghezza;
}

float FontState::Height(const QString&) {
    return static_cast<float>(Metrics().height() * kMillimetresPerInch / resolution_);
}

float FontState::Ascent() {
    return static_cast<float>(Metrics().ascent() * kMillimetresPerInch / resolution_);
}

} // namespace vagolume
