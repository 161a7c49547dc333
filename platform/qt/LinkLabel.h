#pragma once
// A label that acts as a link: it reports a click of the left button.

#include <QLabel>

namespace platform {

class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace platform
