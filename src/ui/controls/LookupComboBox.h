#pragma once

#include <QComboBox>
#include <QElapsedTimer>

class QSizeGrip;
class ReferenceList;

// A list box with key codes: shows the display texts of a reference list and holds the key of
// the chosen entry. The user chooses from the drop-down (which can be widened by its grip), by
// Up and Down, or by typing:
// - the beginning of a text: the first entry it begins, letter case ignored, is chosen and the
//   rest of its text shown selected;
// - words found inside the texts ("обл бол"): when no text begins so, the drop-down lists the
//   entries holding every typed word (matchesWords), the box shows what is typed, and Enter,
//   Tab or a click takes the highlighted entry.
// A character that matches nothing changes nothing; after a pause of the keyboard input interval
// the typing starts afresh. Delete empties a box that may be empty.
//
// A choice is final (entryCommitted) when the user leaves the box, presses Enter, or chooses in
// the drop-down; the owner may end the choice itself (commitEntry) before it checks the card.
//
// It also carries the long-entry tooltip (DoShowHint): a box without a tooltip of its own whose
// chosen text is wider than the box shows that text in a tooltip laid over it.
class LookupComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit LookupComboBox(QWidget *parent = nullptr);

    // The entries of list, none chosen. The list is not owned and must outlive the box.
    void setList(const ReferenceList *list);
    const ReferenceList *list() const { return m_list; }

    // The key of the chosen entry; empty when none is chosen.
    QString key() const;
    // Chooses the entry of key (letter case ignored); an empty or unknown key chooses none.
    // Returns whether an entry is chosen. Sends no keyChosen: only the user chooses. A change
    // of entry is final at once.
    bool setKey(const QString &key);

    // Whether Delete empties the box (a field that need not have a value).
    void setClearable(bool clearable) { m_clearable = clearable; }
    bool isClearable() const { return m_clearable; }

    // The tooltip rule: the text and the top-left corner, in screen coordinates, the long-entry
    // tooltip has now; false when the rule leaves the tooltip alone.
    bool DoShowHint(QString *text, QPoint *globalPos) const;

    // What is being typed, as the search stands; empty when nothing is.
    QString typedText() const { return m_typed; }
    // Ends the choice being made: entryCommitted when the entry differs from the last final one.
    void commitEntry();
    // Whether the user is still choosing: the entry differs from the last final one.
    bool isChoosing() const { return currentIndex() != m_committed; }

signals:
    // The user chose an entry, or emptied the box (key empty).
    void keyChosen(const QString &key);
    // The entry chosen is final and differs from the one before.
    void entryCommitted();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showPopup() override;
    void hidePopup() override;

private:
    bool typeKey(QKeyEvent *key);
    bool typeCharacters(const QString &text);
    bool searchWords(const QString &wanted);
    void endWordSearch();
    bool popupKey(QKeyEvent *key);
    void showTypedSelection();
    void showFromStart();
    void choose(int index);
    void arrangePopup();
    void placeGrip();

    const ReferenceList *m_list = nullptr;
    bool m_clearable = false;
    QString m_typed; // the beginning, or the words, typed so far
    bool m_typing = false;
    bool m_wordSearch = false; // the drop-down lists the entries holding the typed words
    int m_committed = -1;      // the entry of the last final choice
    bool m_popupJustClosed = false;
    bool m_popupOpen = false; // the drop-down takes keys: from showing until asked to hide
    QElapsedTimer m_lastKey;
    int m_popupWidth = 0; // as the user left the drop-down
    QSizeGrip *m_grip = nullptr;
};
