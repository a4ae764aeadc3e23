#pragma once

#include <QPushButton>

// A button whose access key (Alt and the underlined letter) presses it at once. Qt presses a
// button's access key a moment later, so keys typed ahead came first: "При&менить", Tab and
// Space on "Следующая" applied after the next card was prepared and failed on that blank card.
class AccessKeyButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent *event) override;
};
