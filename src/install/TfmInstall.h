#pragma once

#include <QDialog>

class DirectoryEdit;
class QCheckBox;
class QLabel;
class QPushButton;

// The installer dialog "fmInstall": the target folder and the program variant.
class TfmInstall : public QDialog
{
    Q_OBJECT
public:
    explicit TfmInstall(QWidget *parent = nullptr);

    static constexpr QSize kClientSize{385, 135};

    // Set only by an "OK" whose folder passed the checks.
    bool Accepted() const { return m_Accepted; }

    DirectoryEdit *DirectoryEdit1;
    QCheckBox *chbObrSoc;

private:
    void btnOKClick();

    QLabel *Label1;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    bool m_Accepted = false;
};

// Shows the dialog modally. On entry the check box is ticked exactly when variant is "+".
// When the dialog closes accepted, variant becomes "+" or "-" after the check box and folder is
// the folder field's text as typed; otherwise variant stays as it was and folder is empty.
void ShowInstallDialog(QString &variant, QString &folder);
