#pragma once
// Turns what the core and the platform report into Chinese for the user.
#include "core/rename_pass.h"
#include "platform/file_system.h"
#include "platform/given_path.h"

#include <QString>

#include <string_view>

namespace nw::app {

QString reasonText(const FsStatus& st);
// Why a pass stopped, in a few words.
QString passReasonText(const PassFailure& f);
QString passFailureText(const PassFailure& f);
// Why a pass leaves an entry alone, as the preview says it.
QString leftText(LeftReason why, std::size_t bytes, const std::u32string& note = {});
// After a pass: the entries it left alone for a reason the user should know,
// a few by name. Empty when there are none.
// Why the batch page's start or width box cannot be used.
QString startRefusalText();
QString widthRefusalText();
QString unusualText(const std::vector<PassStep>& unusual, bool undo = false);
QString folderFailureText(const std::string& folder, const FsStatus& st);
// A new name another file already has, as the existence box and the preview
// say it: the name as the caller shows it, then "文件已经存在！".
QString existsText(const QString& shownNewName);
// A regular expression given up on (too much backtracking), and a
// replacement that names a group the expression does not have.
QString patternTimedOutText();
QString missingGroupText();

// Why what the user gave to go to (typed, dropped, passed) leads nowhere.
QString givenFailureText(GivenError error, const std::string& given);
// What recovery did with passes that were cut off.
QString recoveryText(const RecoveryReport& r);
// A pass recovery found cut off, with the question whether to undo it.
QString interruptedText(const RecoveryReport::Interrupted& cut);

// A name as a message shows it: hidden characters spelt out, and cut in the
// middle past 80 characters, so that every box fits the screen.
QString named(std::u32string_view name);
// A path (bytes) as a message shows it, each part in its code page.
QString namedPath(const std::string& bytes);

} // namespace nw::app
