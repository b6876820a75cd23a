#pragma once
// How the window's controls follow it as it grows past its smallest size:
// each moves and grows by its share of the extra width and height, from where
// the twips put it. At the smallest size everything stands where it always has.
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace nw::app {

struct Stretch {
    double moveX = 0, growX = 0, moveY = 0, growY = 0;
};

class StretchLayout {
public:
    // w as it stands now is where it stands at the smallest size.
    void add(QWidget* w, Stretch s);
    // Places every control for this much room beyond the smallest size.
    void apply(QSize extra) const;

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect base;
        Stretch stretch;
    };
    std::vector<Item> m_items;
};

} // namespace nw::app
