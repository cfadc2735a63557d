#pragma once
// Font state and text measurement shared by the real and the recording
// surface. Text is measured on a 1200 dpi printer device, so that fractional
// point sizes really change the width, and the metrics are rebuilt only when
// the font changes.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

class QPaintDevice;

namespace vagolume {

class FontState {
public:
    // device: the paint device the text will be drawn on (its resolution
    // turns points into pixels); null means an internal 1200 dpi device.
    explicit FontState(QPaintDevice* device = nullptr);
    ~FontState();

    void SetName(const QString& name);
    QString Name();
    void SetSize(float points);
    float Size() const { return size_; }
    void SetBold(bool bold);
    void SetItalic(bool italic);

    // Width and full line height of a text in millimetres.
    float Width(const QString& text);
    float Height(const QString& text);
    // Distance from the top of the line box to the baseline, millimetres.
    float Ascent();

    const QFont& Font();
    double Resolution() const { return resolution_; }

private:
    const QFontMetricsF& Metrics();
    struct Misure;
    Misure& Correnti();
    void Changed();

    QPaintDevice* device_;
    std::unique_ptr<QPaintDevice> ownDevice_;
    double resolution_;
    QFont font_;
    float size_ = 12.0f;
    // Metrics of every font state used so far (the pages use a few dozen), so
    // that going back to a size does not build them again. Emptied when the
    // typeface changes.
    // The widths measured with each of them: the pages print the same texts
    // at the same sizes on every sheet.
    struct Misure {
        QFontMetricsF metrics;
        QHash<QString, float> larghezze;
    };
    std::map<std::tuple<float, bool, bool>, Misure> cache_;
    Misure* misure_ = nullptr;
    std::optional<QString> resolvedName_;
};

} // namespace vagolume
