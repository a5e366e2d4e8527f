#pragma once
// A canvas that records what is drawn, for tests: every text, line, box and erased area with its
// position, colours and the state in force. Text is measured as if every character of code
// 1..127 were half a point size wide and every other character a whole one; a line is
// `lineHeight` high, or one point size (the text's ink at most) when that is 0.

#include "canvas.h"

#include <vector>

namespace kirune {

struct CanvasOp {
    enum Kind { Text, Line, Box, Erase } kind = Text;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a text's top-left corner is (x1, y1)
    QString text;
    QRgb colour = 0; // text colour, line colour or outline
    QRgb fill = 0;   // fill colour of a filled box
    bool filled = false;
    int width = 1;
    DrawStyle style = DrawStyle::Solid;
    QString fontName;
    double fontSize = 0;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(bool printer = false, double pageWidth = 16838,
                             double lineHeight = 240)
        : printer_(printer), pageWidth_(pageWidth), lineHeight_(lineHeight) {}

    bool IsPrinter() const override { return printer_; }
    double PageWidth() const override { return pageWidth_; }

    std::vector<CanvasOp> ops;

    std::vector<CanvasOp> Texts() const { return OfKind(CanvasOp::Text); }
    std::vector<CanvasOp> Lines() const { return OfKind(CanvasOp::Line); }
    std::vector<CanvasOp> Boxes() const { return OfKind(CanvasOp::Box); }
    std::vector<CanvasOp> Erased() const { return OfKind(CanvasOp::Erase); }

    double TextWidth(const QString& text) const override {
        double ems = 0;
        for (const QChar ch : text)
            if (!ch.isLowSurrogate())
                ems += (ch.unicode() >= 1 && ch.unicode() <= 127) ? 0.5 : 1.0;
        return ems * FontSize * 20;
    }
    // The right edge of a recorded text in the font size it was drawn in.
    double TextRight(const CanvasOp& op) const {
        RecordingCanvas probe;
        probe.FontSize = op.fontSize;
        return op.x1 + probe.TextWidth(op.text);
    }
    // The first text op whose text equals `text`, or nullptr.
    const CanvasOp* FindText(const QString& text) const {
        for (const auto& op : ops)
            if (op.kind == CanvasOp::Text && op.text == text)
                return &op;
        return nullptr;
    }

protected:
    void DrawText(double x, double y, const QString& text) override {
        CanvasOp op = Base(CanvasOp::Text);
        op.x1 = x;
        op.y1 = y;
        op.text = text;
        op.colour = ForeColor;
        ops.push_back(op);
    }
    double LineHeight() const override { return lineHeight_ > 0 ? lineHeight_ : FontSize * 20; }
    void DrawLine(double x1, double y1, double x2, double y2, QRgb colour) override {
        CanvasOp op = Base(CanvasOp::Line);
        op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
        op.colour = colour;
        ops.push_back(op);
    }
    void DrawBox(double x1, double y1, double x2, double y2, QRgb outline, bool filled) override {
        CanvasOp op = Base(CanvasOp::Box);
        op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
        op.colour = outline;
        op.filled = filled;
        op.fill = FillColor;
        ops.push_back(op);
    }

    void DrawErase(double x1, double y1, double x2, double y2) override {
        CanvasOp op = Base(CanvasOp::Erase);
        op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
        op.fill = BackColor;
        ops.push_back(op);
    }

private:
    CanvasOp Base(CanvasOp::Kind kind) const {
        CanvasOp op;
        op.kind = kind;
        op.width = DrawWidth;
        op.style = Style;
        op.fontName = FontName;
        op.fontSize = FontSize;
        return op;
    }
    std::vector<CanvasOp> OfKind(CanvasOp::Kind kind) const {
        std::vector<CanvasOp> out;
        for (const auto& op : ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }
    bool printer_;
    double pageWidth_;
    double lineHeight_;
};

} // namespace kirune
