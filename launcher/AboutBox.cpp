#include "AboutBox.h"

#include <QStringList>

#ifndef ABOUT_HOST
#define ABOUT_HOST "www.quorvel.example"
#endif
#ifndef MAIL_SIMPLIFIED
#define MAIL_SIMPLIFIED "jianti@quorvel.example"
#endif
#ifndef MAIL_TRADITIONAL
#define MAIL_TRADITIONAL "fanti@quorvel.example"
#endif
#ifndef RECORDING_GROUP
#define RECORDING_GROUP "录音小组"
#endif

namespace launcher {

QString aboutTitle(bool simplified) {
    return simplified ? QStringLiteral("关于我们 - 感谢使用")
                      : QStringLiteral("關於我們 - 感謝使用");
}

QString aboutText(bool simplified) {
    const QString group = QString::fromUtf8(RECORDING_GROUP);
    const QStringList lines =
        simplified
            ? QStringList{QStringLiteral("Lumeno录音机:"),
                          QStringLiteral("官方站点:") + QStringLiteral(ABOUT_HOST),
                          QStringLiteral("邮箱[Chinese Simplified]:") +
                              QStringLiteral(MAIL_SIMPLIFIED),
                          QStringLiteral("邮箱[Chinese Traditional]:") +
                              QStringLiteral(MAIL_TRADITIONAL),
                          QStringLiteral("     - Tessel软件之") + group + QStringLiteral(" -    "),
                          QStringLiteral("   Tessel软件原为Brindle工作室  ")}
            : QStringList{
                  QStringLiteral("Lumeno錄音機:"),
                  QStringLiteral("官方站點:") + QStringLiteral(ABOUT_HOST),
                  QStringLiteral("郵箱[Chinese Simplified]:") + QStringLiteral(MAIL_SIMPLIFIED),
                  QStringLiteral("郵箱[Chinese Traditional]:") + QStringLiteral(MAIL_TRADITIONAL),
                  QStringLiteral("     - Tessel軟件之") + group + QStringLiteral(" -    "),
                  QStringLiteral("   Tessel軟件原為Brindle工作室  ")};
    return lines.join(QStringLiteral("\r\n\r\n"));
}

} // namespace launcher
