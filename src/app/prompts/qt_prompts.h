#pragma once

#include "app/prompts/prompts.h"

#include <QPointer>
#include <QWidget>

namespace qm {

// Prompts on real Qt dialogs (never the desktop's native ones, so they look and
// behave the same everywhere and a UI robot finds their buttons by caption).
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget *parent = nullptr) : parent_(parent) {}

    void setParent(QWidget *parent) { parent_ = parent; }

    PromptAnswer message(const MessageRequest &request) override;
    QString openFile(const OpenFileRequest &request) override;
    bool openDocument(const QString &path) override;

    // "Desc|pattern|Desc2|pattern2" -> Qt's "Desc (pattern);;Desc2 (pattern2)".
    static QString toQtFilter(const QString &filter);

private:
    QPointer<QWidget> parent_;
};

}  // namespace qm
