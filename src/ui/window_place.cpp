#include "ui/window_place.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include "app/server_choice.h"

namespace cl::ui {

namespace {
const QString kSeparator = QStringLiteral(" \u2014 ");
}

void PlaceInTitles::install(const Session& session) {
    // One filter per application, deleted with it.
    static QPointer<PlaceInTitles> filter;
    auto* app = QCoreApplication::instance();
    if (!filter || filter->parent() != app) {
        filter = new PlaceInTitles(app);
        app->installEventFilter(filter);
    }
    filter->place_ = QString::fromStdString(workPlace(session.server, session.mapper().root()));
}

QString PlaceInTitles::titled(const QString& title, const QString& place) {
    const QString suffix = kSeparator + place;
    return title.endsWith(suffix) ? title : title + suffix;
}

bool PlaceInTitles::eventFilter(QObject* watched, QEvent* event) {
    auto type = event->type();
    if ((type == QEvent::Show || type == QEvent::WindowTitleChange) && !retitling_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && !qobject_cast<QDialog*>(widget) &&
            !widget->windowTitle().isEmpty()) {
            QString wanted = titled(widget->windowTitle(), place_);
            if (wanted != widget->windowTitle()) {
                retitling_ = true;
                widget->setWindowTitle(wanted);
                retitling_ = false;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace cl::ui
