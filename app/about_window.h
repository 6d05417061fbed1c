#pragma once

#include <QDialog>

#include "app/link_box.h"

class QLabel;

namespace qingxiu {

class OuterFrame;

// The about window: one line about the program and a link to the project's web address.
// It declares no signals or slots, and so needs no meta-object: its controls keep the names of
// the window description, which the meta-object compiler cannot read.
class AboutWindow : public QDialog {
public:
    static constexpr int kOuterWidth = 268;
    static constexpr int kOuterHeight = 100;

    explicit AboutWindow(const LinkBox::Opener& opener);

    // Centred on the primary screen.
    void centre();

private:
    OuterFrame* frame_ = nullptr;
    QLabel* 标签1 = nullptr;
    LinkBox* 超级链接框1 = nullptr;
};

// The handler of the menu item 介绍: opens a fresh about window, modally, with every other
// window of the program disabled until it is closed, and returns once it has been. A window that
// cannot be opened is passed over in silence.
void showAboutWindow(QWidget* owner, const LinkBox::Opener& opener);

}  // namespace qingxiu
