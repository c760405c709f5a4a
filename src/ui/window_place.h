#pragma once
#include <QObject>
#include <QString>

#include "app/session.h"

namespace cl::ui {

// Adds where the program works (the server, or the root folder of the files) to the title of
// every screen of the program, so that an operator with two windows open on two stores can
// tell them apart. Message boxes and dialogs keep their own titles.
class PlaceInTitles : public QObject {
  public:
    // Installs the one filter of the application (or moves it to this session's place).
    static void install(const Session& session);
    // The title a screen shows for `title`.
    static QString titled(const QString& title, const QString& place);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
    QString place_;
    bool retitling_ = false;
};

}  // namespace cl::ui
