#pragma once

#include <QMainWindow>

// The main window "Ордана": the program's main form. Closing it ends the program.
class TfmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfmMain(QWidget *parent = nullptr);
    ~TfmMain() override;

    static constexpr QSize kInitialSize{556, 396};
    static constexpr QSize kMinimumSize{300, 200};
};

// The process-wide main window; null outside client mode.
extern TfmMain *fmMain;
