#pragma once

#include <QValidator>

// Accepts only text that Windows-1251 can hold, so that no card fails to save for its text:
// an edit that would bring in another character is refused as a whole. In upper-case mode every
// letter is made a capital as it comes in (where Windows-1251 has the capital).
class Cp1251Validator : public QValidator
{
    Q_OBJECT
public:
    explicit Cp1251Validator(QObject *parent = nullptr) : QValidator(parent) {}

    void setUpperCase(bool upper) { m_upper = upper; }
    bool upperCase() const { return m_upper; }

    State validate(QString &input, int &pos) const override;

    // The text with every letter in upper case where Windows-1251 holds the capital.
    static QString toUpper(const QString &text);

private:
    bool m_upper = false;
};
