#include "update/ui/update_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "store/error.h"
#include "ui/enter_buttons.h"
#include "ui/qt_messages.h"
#include "update/update_run.h"
#include "update/update_summary.h"

namespace cl::review::ui {

UpdatePanel::UpdatePanel(QWidget* parent) : QGroupBox("Impostazioni Aggiornamenti", parent) {
    setObjectName("Frame2");
    // It opens over the grid: the rows must not show through its boxes and counters.
    setAutoFillBackground(true);
    ownMessages_ = std::make_unique<cl::ui::QtMessages>(this);
    messages_ = ownMessages_.get();

    auto* options = new QGridLayout;
    const auto& list = updateBoxes();
    for (size_t i = 0; i < list.size(); ++i) {
        auto* cb = new QCheckBox(QString::fromUtf8(list[i].caption), this);
        cb->setObjectName(list[i].control);
        boxes_[list[i].control] = cb;
        options->addWidget(cb, static_cast<int>(i % 7), static_cast<int>(i / 7));
    }

    auto* counters = new QVBoxLayout;
    counters->addWidget(counterFrame("Articoli Aggiornati", "cntaw", "eanaw", "Ean", "desaw"));
    counters->addWidget(counterFrame("Articoli Creati", "cntcw", "codarw", "Codice", "descw"));
    counters->addWidget(counterFrame("Articoli Esclusi-Gruppo Merceologico Bloccato", "cntew",
                                     "eanew", "Ean", "desew"));

    command5_ = new QPushButton("Aggiorna", this);
    command5_->setObjectName("Command5");
    command6_ = new QPushButton("Uscita", this);
    command6_->setObjectName("Command6");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(command5_);
    buttons->addWidget(command6_);

    auto* top = new QHBoxLayout;
    top->addLayout(options, 3);
    top->addLayout(counters, 2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);

    connect(command5_, &QPushButton::clicked, this, [this] { applyUpdate(); });
    connect(command6_, &QPushButton::clicked, this, [this] {
        hide();
        emit exitRequested();
    });
    cl::ui::enterPressesButtons(this);
    keys_ = new cl::ui::PanelKeys(this, [this] { command6_->click(); });
    hide();
}

QGroupBox* UpdatePanel::counterFrame(const char* title, const char* count, const char* middle,
                                     const char* middleLabel, const char* last) {
    auto* frame = new QGroupBox(title, this);
    auto* grid = new QGridLayout(frame);
    auto add = [&](const char* name, const char* label, int row, int col, int width) {
        auto* edit = new QLineEdit(frame);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        if (width) edit->setMaximumWidth(width);
        grid->addWidget(new QLabel(label, frame), row, col);
        grid->addWidget(edit, row, col + 1);
        counters_[name] = edit;
        progress_.bind(name, edit);
    };
    add(count, "Nr.", 0, 0, 90);
    add(middle, middleLabel, 0, 2, 0);
    auto* desc = new QLineEdit(frame);
    desc->setObjectName(last);
    desc->setReadOnly(true);
    grid->addWidget(new QLabel("Descrizione", frame), 1, 0);
    grid->addWidget(desc, 1, 1, 1, 3);
    counters_[last] = desc;
    progress_.bind(last, desc);
    return frame;
}

UpdateSettings UpdatePanel::settings() const {
    UpdateSettings s;
    for (const auto& b : updateBoxes()) s.*b.flag = boxes_.at(b.control)->isChecked();
    return s;
}

void UpdatePanel::setSettings(const UpdateSettings& s) {
    for (const auto& b : updateBoxes()) boxes_.at(b.control)->setChecked(s.*b.flag);
}

void UpdatePanel::prepare(const UpdateSettings& s, long long nextCode, Runner runner) {
    setSettings(s);
    for (auto& [name, edit] : counters_) edit->clear();
    counters_.at("codarw")->setText(QString::number(nextCode));
    runner_ = std::move(runner);
    command5_->setEnabled(true);
    show();
    keys_->focusIn();
}

UpdatePanel::Runner UpdatePanel::storeRunner(Session& session, ReviewFilter filter) {
    return [&session, filter](const UpdateSettings& s, Messages& m, Progress& p) {
        auto db = session.openStore(true);
        return review::applyUpdateAfterSummary(session.state, *db, s, filter, m, p);
    };
}

void UpdatePanel::applyUpdate() {
    if (!runner_) return;
    command5_->setEnabled(false);
    command6_->setEnabled(false);
    UpdateResult result;
    try {
        result = runner_(settings(), *messages_, progress_);
    } catch (const std::exception& e) {
        progress_.flush();
        messages_->show(e.what(), Icon::Critical, "Aggiornamento non eseguito");
        command5_->setEnabled(true);
        command6_->setEnabled(true);
        return;
    }
    progress_.flush();
    command6_->setEnabled(true);
    // Answered No (supplier lists only): the panel stays as it is.
    if (!result.performed) {
        command5_->setEnabled(true);
        return;
    }
    emit updateFinished(result);
}

}  // namespace cl::review::ui
