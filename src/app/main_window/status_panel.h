#pragma once

#include <QLabel>

namespace qm {

// A sunken text panel of the status bar. Assistive technology reads its text,
// as the mechanic sees it; what the panel is for is its description.
class StatusPanel final : public QLabel {
    Q_OBJECT

public:
    StatusPanel(const QString &description, QWidget *parent);

    // Keeps at least this width; a text that needs more widens the panel
    // rather than being cut (0: the panel takes the width it is given).
    void setLeastWidth(int width);
    void showText(const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitWidth();

    int leastWidth_ = 0;
};

}  // namespace qm
