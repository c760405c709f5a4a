#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "store/database.h"
#include "store/write_transactions.h"

namespace cl::test {

// A fresh root with the four empty databases made by init, located as at start-up.
class TempStore {
  public:
    TempStore();
    ~TempStore();
    TempStore(const TempStore&) = delete;

    std::filesystem::path root;
    Session session;

    std::filesystem::path storeFile() const { return session.host(session.state.nomedb); }
    std::filesystem::path fixedFile() const { return session.host(session.state.nomedb_fisso); }
    std::filesystem::path suiteFile() const { return session.host(session.state.nomedb_suite); }
    // A connection to the store database (or the fixed-path article database), on whichever
    // engine the tests run.
    std::unique_ptr<store::Database> openStoreDb(bool fixed = false);
    // Runs SQL on the store database (or on the fixed-path article database).
    void exec(const std::string& sql);
    void execFixed(const std::string& sql);
    // A single value of a query on the store database ("" for none).
    std::string scalar(const std::string& sql);
    std::string scalarFixed(const std::string& sql);
    // Every row of a table as text, for before/after comparisons.
    std::string dump(const std::string& table, bool fixed = false);
};

// Fails the running test when a message or question would keep a write transaction open:
// every other workstation would wait on the lock for as long as the box is on screen.
inline void expectNoWriteTransaction(const std::string& text) {
    EXPECT_EQ(store::openWriteTransactions(), 0)
        << "shown while a write transaction is open: " << text;
}

// Records what the domain shows and answers questions from a queue (No when empty).
class RecordingMessages : public Messages {
  public:
    struct Shown {
        std::string text, title;
        Icon icon;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers;
    void show(const std::string& text, Icon icon, const std::string& title) override {
        expectNoWriteTransaction(text);
        shown.push_back({text, title, icon});
    }
    Answer ask(const std::string& text, const std::string& title, Icon icon, Answer) override {
        expectNoWriteTransaction(text);
        shown.push_back({text, title, icon});
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class RecordingProgress : public Progress {
  public:
    std::map<std::string, std::string> values;
    std::vector<int> bar;
    bool barVisible = false;
    void setText(const std::string& c, const std::string& t) override { values[c] = t; }
    void setBar(int p) override { bar.push_back(p); }
    void showBar(bool v) override { barVisible = v; }
};

}  // namespace cl::test
