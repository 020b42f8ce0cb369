#pragma once
// CReadOnlyEdit: a read-only single-line field with a settable background
// colour and black text. Setting the background repaints the field at once.
// The reading windows mark a value in alarm light red and a normal one light
// grey.

#include <QColor>
#include <QLineEdit>

namespace corvel {

inline const QColor kAlarmFieldColour{255, 155, 155};
inline const QColor kNormalFieldColour{235, 235, 235};

class CReadOnlyEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit CReadOnlyEdit(QWidget* parent = nullptr);

    void setBackgroundColour(const QColor& colour);
    QColor backgroundColour() const { return background_; }
    QColor textColour() const { return Qt::black; }

private:
    void applyColours();

    QColor background_ = kNormalFieldColour;
};

}  // namespace corvel
