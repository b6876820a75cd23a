#include "app/existing_names.h"
#include "app/texts.h"

#include "app/failure_text.h"
#include "app/qt_text.h"
#include "app/user_messages.h"

namespace nw::app {

void ExistingNames::start() {
    m_skipAll = false;
    m_stop = false;
    m_skippedSilently = 0;
}

void ExistingNames::follow(RenameTool& tool, const FileListSource* list) {
    m_list = list;
    m_at = -1;
    if (!list || !tool.transform)
        return;
    tool.transform = [this, inner = std::move(tool.transform)](int i, const std::u32string& name) {
        m_at = i;
        return inner(i, name);
    };
}

QString ExistingNames::shownOld(const std::u32string& oldName) const {
    const bool at = m_list && m_at >= 0 && m_at < m_list->ListCount();
    return named(at ? withFolder(m_list->SubName(m_at), oldName) : oldName);
}

void ExistingNames::install(RenameTool& tool, FileSystem& fs, QWidget* window, bool preview,
                            const FileListSource* list) {
    if (!preview)
        follow(tool, list);
    tool.wantsNewName = [this, &fs, window,
                         preview](const std::string& folder, const std::u32string& oldName,
                                  const std::u32string& newName, const std::string& newBytes) {
        if (!fs.plainFileExists(folder, newBytes))
            return true;
        if (preview)
            return false;
        if (m_skipAll) {
            ++m_skippedSilently;
            return false;
        }
        // The specified sentence, and on a line of its own the file that was
        // to take the name.
        const QString text = existsText(named(newName)) + zh("\n原文件：") + shownOld(oldName);
        const ExistsAnswer a = askAboutExistingName(window, text);
        m_skipAll = a == ExistsAnswer::SkipAll;
        m_stop = a == ExistsAnswer::Stop;
        return false;
    };
    tool.stopAfterRefusal = [this, preview] { return !preview && m_stop; };
}

void ExistingNames::installForTaken(RenameTool& tool, QWidget* window, bool preview,
                                    const FileListSource* list) {
    if (!preview)
        follow(tool, list);
    tool.skipTaken = [this, window, preview](const std::u32string& oldName,
                                             const std::u32string& newName) {
        if (preview)
            return true;
        if (m_skipAll) {
            ++m_skippedSilently;
            return true;
        }
        const QString text =
            zh("“%1”的新文件名“%2”已经存在！").arg(shownOld(oldName), named(newName));
        const ExistsAnswer a = askAboutExistingName(window, text);
        m_skipAll = a == ExistsAnswer::SkipAll;
        m_stop = a == ExistsAnswer::Stop;
        return true;
    };
    tool.stopAfterRefusal = [this, preview] { return !preview && m_stop; };
}

void ExistingNames::reportSkipped(QWidget* window) const {
    if (m_skippedSilently > 0)
        showMessage(
            window, MessageKind::Information,
            zh("另有 %1 个文件的新文件名已经存在，已跳过，没有逐个提示。").arg(m_skippedSilently));
}

} // namespace nw::app
