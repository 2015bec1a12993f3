#pragma once

// A paint device that records what a QPainter draws on it (pictures with their target and source
// rectangles, texts with their positions, rectangles and ellipses), so painting code can be
// checked by geometry rather than by pixels.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QTextItem>

#include <vector>

namespace vornik::ui::test {

struct Recorded {
    enum class Kind { Pixmap, Text, Rect, Ellipse } kind;
    QRectF target; // pixmap target, rectangle or ellipse box
    QRectF source; // pixmap source
    qint64 pixmapKey = 0;
    QPointF baseline; // text
    QString text;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    std::vector<Recorded> drawn;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        drawn.push_back({Recorded::Kind::Pixmap, r, sr, pm.cacheKey(), {}, {}});
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        drawn.push_back({Recorded::Kind::Text, {}, {}, 0, p, item.text()});
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i)
            drawn.push_back({Recorded::Kind::Rect, QRectF(rects[i]), {}, 0, {}, {}});
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            drawn.push_back({Recorded::Kind::Rect, rects[i], {}, 0, {}, {}});
    }
    void drawEllipse(const QRectF& r) override { drawn.push_back({Recorded::Kind::Ellipse, r, {}, 0, {}, {}}); }
    void drawEllipse(const QRect& r) override { drawEllipse(QRectF(r)); }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingEngine engine;
    QPaintEngine* paintEngine() const override { return const_cast<RecordingEngine*>(&engine); }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 2000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

} // namespace vornik::ui::test
