#pragma once

class FieldComboBox;
class FieldDateEdit;
class FieldLineEdit;
class QPushButton;
class QWidget;

// The controls of the entry form, named as the form's users and tests know them.
struct EntryControls
{
    FieldComboBox *lcbPODKOM;
    FieldLineEdit *edBORNDATE;
    FieldLineEdit *DBEdit2;
    FieldLineEdit *DBEdit3;
    FieldLineEdit *DBEdit4;
    FieldLineEdit *DBEdit22;
    FieldLineEdit *DBEdit23;
    FieldLineEdit *DBEdit24;
    FieldComboBox *cbSPECvr;
    FieldComboBox *cbSPECsr;
    FieldComboBox *cbLPU;
    QPushButton *btnLPU;
    FieldComboBox *cbLPU_ObrSoc;
    FieldLineEdit *DBEdit21;
    QPushButton *btnJOB;
    FieldComboBox *DBComboBoxEh4;
    FieldComboBox *DBComboBoxEh3;
    FieldDateEdit *DBDateEdit2;
    FieldLineEdit *DBEdit8;
    FieldComboBox *DBComboBoxEh6;
    FieldComboBox *DBComboBoxEh1;
    QPushButton *btnPrior;
    QPushButton *btnNext;
    QPushButton *btnExit;
    QPushButton *btnApply;
};

// Builds the controls of the entry form on form from one table: place, size, tab order, label
// and list of each, and gives the form its fixed size. Positions are logical pixels of the
// client area as designed for an 8-point font; where the form's font needs more room for a
// label, a caption or a line of text, the whole layout grows in proportion, so that nothing is
// clipped.
EntryControls buildEntryControls(QWidget *form);

// The client area of the form as designed.
constexpr int kEntryFormWidth = 481;
constexpr int kEntryFormHeight = 391;
