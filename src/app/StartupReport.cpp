#include "app/StartupReport.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {

class ListPaintWatch : public QObject
{
public:
    explicit ListPaintWatch(QAbstractItemView *list) : QObject(list), m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_list->model() && m_list->model()->rowCount() > 0) {
            watched->removeEventFilter(this);
            // Told once the paint has been done and put on the screen.
            QTimer::singleShot(0, this, [this] {
                std::fputs("list painted\n", stdout);
                std::fflush(stdout);
                deleteLater();
            });
        }
        return false;
    }

private:
    QAbstractItemView *m_list;
};

} // namespace

void reportFirstListPaint(QWidget *mainWindow)
{
    if (qEnvironmentVariableIsEmpty("QORCLIENT_REPORT_LIST_PAINTED"))
        return;
    if (auto *list = mainWindow->findChild<QAbstractItemView *>(QStringLiteral("DBGridEh1")))
        new ListPaintWatch(list);
}
