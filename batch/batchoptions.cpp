#include "batch/batchoptions.h"

#include "model/fielddata/jointset.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace BatchCommand {
namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("Batch", text);
}

bool parseInt(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool parseSize(const QString& text, QSize& size) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d{1,5})[xX×](\\d{1,5})$")).match(text);
    if (!m.hasMatch())
        return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < MinSide || w > MaxSide || h < MinSide || h > MaxSide)
        return false;
    size = QSize(w, h);
    return true;
}
} // namespace

Parse parseArguments(const QStringList& arguments, BatchOptions& options, QString& error) {
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            options.files << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return Parse::Help;
        if (argument == QLatin1String("--quiet") || argument == QLatin1String("-q")) {
            options.quiet = true;
            continue;
        }

        // Every other option takes a value: "--opt VALUE" or "--opt=VALUE".
        QString name = argument;
        QString value;
        bool hasValue = false;
        const int eq = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && eq > 2) {
            name = argument.left(eq);
            value = argument.mid(eq + 1);
            hasValue = true;
        }
        static const QStringList valued = {QStringLiteral("--report"), QStringLiteral("--png"),
                                           QStringLiteral("--dxf"),    QStringLiteral("--dwg"),
                                           QStringLiteral("--json"),   QStringLiteral("--size"),
                                           QStringLiteral("--radius"), QStringLiteral("--height"),
                                           QStringLiteral("--jobs"),   QStringLiteral("--auto-sets"),
                                           QStringLiteral("--rose")};
        if (!valued.contains(name)) {
            error = tr("未知选项 %1").arg(name);
            return Parse::UsageError;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                error = tr("选项 %1 缺少参数").arg(name);
                return Parse::UsageError;
            }
            value = arguments.at(++i);
        }
        if (value.isEmpty()) {
            error = tr("选项 %1 的参数为空").arg(name);
            return Parse::UsageError;
        }

        if (name == QLatin1String("--report")) {
            options.reportDir = value;
        } else if (name == QLatin1String("--png")) {
            options.pngDir = value;
        } else if (name == QLatin1String("--dxf")) {
            options.dxfDir = value;
        } else if (name == QLatin1String("--dwg")) {
            options.dwgDir = value;
        } else if (name == QLatin1String("--rose")) {
            options.roseDir = value;
        } else if (name == QLatin1String("--json")) {
            options.jsonPath = value;
        } else if (name == QLatin1String("--size")) {
            if (!parseSize(value, options.size)) {
                error = tr("--size 应为 宽x高（%1-%2像素），而不是 %3").arg(MinSide).arg(MaxSide).arg(value);
                return Parse::UsageError;
            }
        } else if (name == QLatin1String("--radius")) {
            if (!parseInt(value, MinRadius, MaxRadius, options.radius)) {
                error = tr("--radius 应为%1-%2的整数，而不是 %3").arg(MinRadius).arg(MaxRadius).arg(value);
                return Parse::UsageError;
            }
        } else if (name == QLatin1String("--height")) {
            if (!parseInt(value, MinTextPercent, MaxTextPercent, options.textPercent)) {
                error = tr("--height 应为%1-%2的整数，而不是 %3")
                            .arg(MinTextPercent)
                            .arg(MaxTextPercent)
                            .arg(value);
                return Parse::UsageError;
            }
        } else if (name == QLatin1String("--jobs")) {
            if (!parseInt(value, 1, 256, options.jobs)) {
                error = tr("--jobs 应为1-256的整数，而不是 %1").arg(value);
                return Parse::UsageError;
            }
        } else if (name == QLatin1String("--auto-sets")) {
            if (!parseInt(value, 0, JointSetLimits::MaxSets, options.autoSets)) {
                error = tr("--auto-sets 应为0-%1的整数，而不是 %2").arg(JointSetLimits::MaxSets).arg(value);
                return Parse::UsageError;
            }
        }
    }
    if (options.files.isEmpty()) {
        error = tr("没有给出工程文件");
        return Parse::UsageError;
    }
    if (!options.writesSomething()) {
        error = tr("没有要写的结果：请给出 --report、--png、--dxf、--dwg 或 --json");
        return Parse::UsageError;
    }
    return Parse::Run;
}

QString helpText() {
    return tr("用法：karven-batch [选项] 文件.yty...\n"
              "\n"
              "读取每个工程文件，像“分析”命令一样进行赤平投影稳定性分析，并写出所要求的结果。\n"
              "工程文件本身不会被修改。输出文件以工程文件名命名（如 road-cut.html），\n"
              "同名的工程文件依次加上 -2、-3…。\n"
              "\n"
              "选项：\n"
              "  --report DIR      计算书（HTML，内嵌赤平投影图）写到 DIR\n"
              "  --png DIR         赤平投影图（PNG）写到 DIR\n"
              "  --dxf DIR         CAD图形（DXF）写到 DIR\n"
              "  --dwg DIR         CAD图形（DWG）写到 DIR\n"
              "  --rose DIR        有测量数据的工程的走向玫瑰花图（PNG）写到 DIR\n"
              "  --json FILE       全部工程的分析结果写成一个 JSON 文档；FILE 为 - 时写到标准输出\n"
              "  --size WxH        图片大小，单位像素（默认 800x600）\n"
              "  --radius R        CAD图形的半径R，10-100（默认 50）\n"
              "  --height H        CAD图形字体的高度H，2-20（默认 5，字高为 R×H/100）\n"
              "  --jobs N          同时处理的文件数（默认每个处理器核心一个）\n"
              "  --auto-sets N     有测量数据而无结构面组的工程自动分组，N组（0：按密度峰值）\n"
              "  -q, --quiet       不显示进度\n"
              "  -h, --help        显示本说明\n"
              "\n"
              "文件多于4个时，在标准错误输出上显示进度。无法读取或写出的文件给出一行说明，\n"
              "其余文件照常处理。\n"
              "\n"
              "退出状态：0 全部成功；1 有文件失败；2 用法错误。\n"
              "\n"
              "示例：\n"
              "  karven-batch --report out --dwg out --json results.json examples/*.yty\n");
}

} // namespace BatchCommand
