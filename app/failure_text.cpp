#include "app/failure_text.h"
#include "app/texts.h"

#include "app/qt_text.h"

#include <QStringList>

#include <cstring>

namespace nw::app {
namespace {

// Names in a message are cut in the middle past this many characters, so
// that every box fits the screen (a name may run to thousands of them).
constexpr qsizetype kLongestShown = 80;

QString elided(QString s) {
    if (s.size() <= kLongestShown)
        return s;
    qsizetype head = kLongestShown / 2, tail = kLongestShown - head - 1;
    // Never between the two halves of a character outside the BMP.
    if (s.at(head - 1).isHighSurrogate())
        --head;
    if (s.at(s.size() - tail).isLowSurrogate())
        --tail;
    return s.left(head) + QChar(0x2026) + s.right(tail);
}

} // namespace

QString namedPath(const std::string& bytes) { return elided(bytesToQt(bytes)); }

QString named(std::u32string_view name) { return elided(shownName(name)); }

QString reasonText(const FsStatus& st) {
    switch (st.error) {
    case FsError::None: return zh("没有错误");
    case FsError::Exists: return zh("已有同名的文件或文件夹");
    case FsError::NotFound: return zh("文件或文件夹不存在（可能已被移走或删除）");
    case FsError::PermissionDenied: return zh("没有权限");
    case FsError::ReadOnly: return zh("所在的文件系统是只读的");
    case FsError::NameTooLong: return zh("名称太长");
    case FsError::InvalidName: return zh("名称无效");
    case FsError::NotAFolder: return zh("不是文件夹");
    case FsError::NoSpace: return zh("磁盘空间不足");
    case FsError::Busy: return zh("文件正在被使用");
    case FsError::FolderChanged:
        return zh("列出文件后，这个文件夹已被移走或换成了另一个文件夹，请刷新后再试");
    case FsError::Superseded: return zh("已改为读取另一个文件夹");
    case FsError::JournalUnwritable:
        return zh("无法写入改名日志（保存改名日志的文件夹已满或不能写入）");
    case FsError::Io: break;
    }
    return zh("系统错误：%1（错误码 %2）")
        .arg(QString::fromLocal8Bit(std::strerror(st.sysError)))
        .arg(st.sysError);
}

QString passReasonText(const PassFailure& f) {
    switch (f.reason) {
    case FailureReason::FileSystem:
        if (f.fs.error == FsError::NameTooLong && f.newBytes > 0)
            return zh("名称太长：新文件名为 %1 字节，超过 %2 字节的上限")
                .arg(f.newBytes)
                .arg(kMaxNameBytes);
        return reasonText(f.fs);
    case FailureReason::EmptyName: return zh("新文件名为空");
    case FailureReason::DotName: return zh("“.”和“..”不能用作文件名");
    case FailureReason::SlashInName: return zh("新文件名含有“/”，会把文件移到别的文件夹");
    case FailureReason::NulInName: return zh("新文件名含有空字符");
    case FailureReason::BadIncrement: return zh("增量必须是 -32768 到 32767 之间的数字");
    case FailureReason::NumberOverflow: return zh("编号超出了 -32768 到 32767 的范围，请减小增量");
    case FailureReason::BadStart: return startRefusalText();
    case FailureReason::BadWidth: return widthRefusalText();
    case FailureReason::ProgramFile: return zh("程序自身的文件，不能改名");
    case FailureReason::UserStopped: return zh("已按“停止”");
    case FailureReason::KindChanged:
        return zh("它已不是列出时的那个文件（变成了文件夹、链接或其它），没有动它");
    case FailureReason::JournalFailed: return zh("无法写入改名日志：%1").arg(reasonText(f.fs));
    case FailureReason::PatternTimedOut: return patternTimedOutText();
    case FailureReason::BadReplacement: return missingGroupText();
    }
    return {};
}

QString passFailureText(const PassFailure& f) {
    if (f.reason == FailureReason::UserStopped)
        return zh("改名已按“停止”中止，停在“%1”之前：此前的文件已经改名，“%1”及其后的文件没有改动。")
            .arg(named(f.oldName));
    if (f.reason == FailureReason::JournalFailed)
        return zh("改名没有开始：%1。没有文件被改名。").arg(passReasonText(f));
    QString head;
    if (f.reason == FailureReason::FileSystem && f.fs.error == FsError::NotFound && f.newName &&
        f.fs.putBackError == 0)
        head = zh("找不到文件“%1”（可能已被移走或删除）。").arg(named(f.oldName));
    else if (f.newName)
        head = zh("无法将“%1”改名为“%2”：%3。")
                   .arg(named(f.oldName), named(*f.newName), passReasonText(f));
    else
        head = zh("无法为“%1”生成新文件名：%2。").arg(named(f.oldName), passReasonText(f));
    if (f.fs.putBackError != 0)
        head += zh("\n恢复原状也失败了（%1），留下了“%2”。改名日志已保留，下次启动"
                   "或驱动器重新连接时会自动恢复；也可以自己检查这个文件。")
                    .arg(reasonText(statusFromErrno(f.fs.putBackError)), namedPath(f.fs.leftAs));
    return head + zh("\n改名已在此停止，其后的文件没有改动。");
}

QString leftText(LeftReason why, std::size_t bytes, const std::u32string& note) {
    switch (why) {
    case LeftReason::Tool: break;
    case LeftReason::NoFacts: return zh("不会处理：无法读取文件信息（文件已损坏或格式不明）");
    case LeftReason::MissingField: return zh("不会处理：没有") + toQt(note); // note: the field
    case LeftReason::Undecoded: return zh("不会处理：无法识别文件名的编码");
    case LeftReason::FolderLost:
        return zh("不会处理：在这个驱动器上改名文件夹会丢失其中的文件（FAT，经 fusefat 挂载）");
    case LeftReason::Unsure: return zh("不会处理：无法确定文件名的编码");
    case LeftReason::NotThatFile: return zh("不会处理：已不是这次改名后的文件");
    case LeftReason::TooLongInUtf8:
        return zh("不会处理：转为UTF-8后为 %1 字节，超过 %2 字节的上限")
            .arg(bytes)
            .arg(kMaxNameBytes);
    }
    return zh("不变：无需改名");
}

QString unusualText(const std::vector<PassStep>& unusual, bool undo) {
    if (unusual.empty())
        return {};
    constexpr std::size_t kNamed = 5;
    QString text =
        (undo ? zh("有 %1 个文件没有撤销：") : zh("有 %1 个文件没有改名：")).arg(unusual.size());
    for (std::size_t i = 0; i < unusual.size() && i < kNamed; ++i) {
        QString why = leftText(unusual[i].left, unusual[i].bytes, unusual[i].note);
        why.remove(zh("不会处理："));
        text += zh("\n“%1”：%2").arg(named(unusual[i].oldName), why);
    }
    if (unusual.size() > kNamed)
        text += zh("\n……");
    return text;
}

QString folderFailureText(const std::string& folder, const FsStatus& st) {
    return zh("无法打开文件夹“%1”：%2。").arg(namedPath(folder), reasonText(st));
}

QString startRefusalText() { return zh("起始编号必须是 -32768 到 32767 之间的整数（或者留空）"); }

QString widthRefusalText() { return zh("位数必须是 1 到 9 之间的整数（或者留空）"); }

QString existsText(const QString& shownNewName) { return shownNewName + zh("文件已经存在！"); }

QString patternTimedOutText() { return zh("正则表达式运行太久（可能是回溯过多），已停止"); }

QString missingGroupText() { return zh("“替换为”引用了正则表达式中没有的分组"); }

QString givenFailureText(GivenError error, const std::string& given) {
    switch (error) {
    case GivenError::NotLocal:
        return zh("只能打开本机上的文件夹，不能打开“%1”。").arg(namedPath(given));
    case GivenError::NulInAddress:
        // Not through arg(): the text holds a "%00" of its own.
        return zh("地址“") + namedPath(given) + zh("”含有空字符（%00），不是有效的路径。");
    case GivenError::Empty:
    case GivenError::None: break;
    }
    return {};
}

QString recoveryText(const RecoveryReport& r) {
    QStringList parts;
    if (r.restored > 0 || !r.unresolved.empty())
        parts << zh("上次改名被中断：已恢复 %1 个文件的名称。").arg(r.restored);
    if (!r.unresolved.empty()) {
        QStringList names;
        for (const std::string& p : r.unresolved)
            names << namedPath(p);
        parts << zh("以下文件无法自动恢复，没有动它们，请检查：\n%1").arg(names.join('\n'));
    }
    for (const std::string& folder : r.waiting)
        parts
            << zh("文件夹“%1”里有一次被中断的改名，它现在不在（驱动器未连接？），连接后会自动恢复。")
                   .arg(namedPath(folder));
    for (const RecoveryReport::SetAside& k : r.setAside)
        parts << (k.folder.empty() ? zh("有一份改名日志已损坏，没有按它做任何改动，已另存为“%1”。")
                                         .arg(namedPath(k.journal))
                                   : zh("文件夹“%1”里有一次被中断的改名，但它的改名日志已损坏、"
                                        "或这个文件夹已不是当时的那个，没有按它做任何改动，请检查"
                                        "这个文件夹里的文件。日志已另存为“%2”。")
                                         .arg(namedPath(k.folder), namedPath(k.journal)));
    return parts.join('\n');
}

QString interruptedText(const RecoveryReport::Interrupted& cut) {
    return zh("文件夹“%1”里的一次改名（%2）被中断：要改名的 %L3 个文件中，已改名 %L4 个。"
              "\n要撤销这次改名，把这些文件改回原名吗？无论怎样选，这次改名都会记在"
              "“改名历史”里。")
        .arg(namedPath(cut.folder),
             cut.tool.empty() ? zh("改名") : QString::fromStdString(cut.tool))
        .arg(cut.planned)
        .arg(cut.done.size());
}

} // namespace nw::app
