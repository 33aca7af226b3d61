#pragma once

#include <QColor>
#include <QLabel>

// A single-line, centred text cell with a sunken border whose text and background colours
// are properties of the cell itself: the result grid, the legend and the metric cells.
class ResultCell : public QLabel {
    Q_OBJECT
public:
    explicit ResultCell(QWidget* parent = nullptr);
    // A cell named name at a fixed pixel position of its parent.
    static ResultCell* place(QWidget* parent, const QString& name, const QRect& geometry);

    QColor textColor() const;
    void setTextColor(const QColor& color);
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);

    // Takes both colours of another cell (a legend cell), leaving the text alone.
    void takeColorsOf(const ResultCell& other);
};
