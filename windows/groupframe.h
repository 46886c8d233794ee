#pragma once

#include <QGroupBox>

// A group box drawn the classic way the side windows are laid out for: an etched frame that
// begins half a text line below the top of the box, the caption standing on the frame line
// 8 pixels from the left. The positions of the controls inside stay counted from the box's top
// left corner, so that small boxes such as the one-line "Sport" box keep their labels inside
// the frame.
class ClassicGroupBox : public QGroupBox {
    Q_OBJECT

public:
    ClassicGroupBox(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
