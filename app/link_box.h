#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

namespace qingxiu {

// A hyperlink box: shows its web address centred on one line, without border or underline, in
// the colour of its state, and opens the address on a press of the left mouse button.
class LinkBox : public QWidget {
    Q_OBJECT

public:
    // Opens an address; true when it was opened.
    using Opener = std::function<bool(const QString& address)>;

    static inline const QColor kNormal{0, 0, 255};
    static inline const QColor kHover{51, 153, 255};
    static inline const QColor kVisited{128, 0, 0};

    LinkBox(QString address, Opener opener, QWidget* parent = nullptr);

    const QString& address() const { return address_; }
    bool hovered() const { return hovered_; }
    bool visited() const { return visited_; }
    // The hover colour wins over the visited one while the pointer is over the box.
    QColor textColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString address_;
    Opener opener_;
    bool hovered_ = false;
    bool visited_ = false;
};

}  // namespace qingxiu
