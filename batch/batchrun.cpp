#include "batch/batchrun.h"

#include "batch/batchdwg.h"
#include "batch/batchjson.h"
#include "cad/caddrawing.h"
#include "cad/cadexport.h"
#include "cad/cadfileexport.h"
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "render/fieldlayer.h"
#include "render/rosepicture.h"
#include "model/factors/stabilityproblems.h"
#include "model/fielddata/projectsets.h"
#include "model/pngencoder.h"
#include "render/stereonet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QSaveFile>
#include <QThread>
#include <QXmlStreamReader>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace BatchRun {
namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("Batch", text);
}

void print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Why a project file could not be read, in a few words.
QString readFailure(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return tr("无法打开文件");
    if (f.size() > DataCenter::MaxProjectFileSize)
        return tr("文件过大，不是工程文件");
    QXmlStreamReader xml(&f);
    bool root = false;
    int dips = 0; // "Dip" elements of the current "Dips"
    bool tooManyPlanes = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (!root) {
            root = true;
            if (xml.name() != QLatin1String("DipData"))
                return tr("不是工程文件（根元素为%1）").arg(xml.name().toString());
        } else if (xml.name() == QLatin1String("Dips")) {
            dips = 0;
        } else if (xml.name() == QLatin1String("Dip") && ++dips > DataCenter::MaxPlanesInFile) {
            tooManyPlanes = true;
        }
    }
    if (xml.hasError())
        return tr("文件内容有误（第%1行：%2）").arg(xml.lineNumber()).arg(xml.errorString());
    if (tooManyPlanes)
        return tr("文件含有超过%1个结构面，多于一个工程允许的数量").arg(DataCenter::MaxPlanesInFile);
    return tr("文件版本过高或内容有误");
}

bool readProject(DataCenter& project, const QString& file, QString& error) {
    const QFileInfo info(file);
    if (!info.exists()) {
        error = tr("文件不存在");
        return false;
    }
    if (info.isDir()) {
        error = tr("是文件夹，不是工程文件");
        return false;
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = tr("无法打开文件（%1）").arg(f.errorString());
        return false;
    }
    if (!project.readProject(&f)) {
        f.close();
        error = readFailure(file);
        return false;
    }
    // A root other than DipData reads as an empty project; a batch run
    // names such a file rather than reporting a default slope.
    f.seek(0);
    QXmlStreamReader xml(&f);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("DipData")) {
        error = readFailure(file);
        return false;
    }
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    return true;
}

// Writes bytes through an atomic save file.
bool saveBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        file.cancelWriting();
    return file.commit();
}

bool writeReport(DataCenter& project, const QImage& picture, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QImage density, rose;
    FieldLayer::renderReportPictures(project, density, rose);
    if (!project.writeReport(&file, picture, density, rose) || !file.flush() || file.size() != file.pos())
        file.cancelWriting();
    return file.commit();
}

bool writePicture(const QImage& picture, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!PngEncoder::write(picture, &file))
        file.cancelWriting();
    return file.commit();
}

QString outputPath(const QString& dir, const QString& name, const char* suffix) {
    return QDir(dir).filePath(name + QLatin1String(suffix));
}

bool isTerminal(FILE* stream) {
#ifdef Q_OS_UNIX
    return isatty(fileno(stream));
#else
    Q_UNUSED(stream);
    return false;
#endif
}

// "n/N" on standard error: one updated line on a terminal, otherwise a line
// at every tenth of the way.
class Progress {
public:
    Progress(FILE* err, int total, bool shown) : err(err), total(total), shown(shown), tty(isTerminal(err)) {}

    void step(int done) {
        if (!shown)
            return;
        if (tty) {
            const int width = 30;
            const int filled = total ? width * done / total : width;
            print(err, QStringLiteral("\r[%1%2] %3/%4")
                           .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char(' ')))
                           .arg(done)
                           .arg(total));
            lineOpen = done < total;
            if (!lineOpen)
                print(err, QStringLiteral("\n"));
        } else if (done == total || done * 10 / total != (done - 1) * 10 / total) {
            print(err, QStringLiteral("%1/%2\n").arg(done).arg(total));
        }
    }
    // A message line, on a line of its own.
    void message(const QString& text) {
        if (lineOpen)
            print(err, QStringLiteral("\n"));
        lineOpen = false;
        print(err, text + QLatin1Char('\n'));
    }

private:
    FILE* err;
    int total;
    bool shown;
    bool tty;
    bool lineOpen = false;
};

QString programName() {
    return QStringLiteral("karven-batch");
}
} // namespace

QStringList outputNames(const QStringList& files) {
    QStringList names;
    QHash<QString, int> used;
    for (const QString& file : files) {
        QString base = QFileInfo(file).completeBaseName();
        if (base.isEmpty())
            base = QStringLiteral("project");
        // File systems that ignore case would let two names collide.
        const QString key = base.toLower();
        const int n = ++used[key];
        QString name = n == 1 ? base : QStringLiteral("%1-%2").arg(base).arg(n);
        while (n > 1 && used.contains(name.toLower()))
            name += QLatin1Char('_');
        if (n > 1)
            used[name.toLower()] = 1;
        names << name;
    }
    return names;
}

ProjectResult processProject(const QString& file, const QString& outputName, const BatchOptions& options) {
    ProjectResult result;
    DataCenter project;
    QString error;
    if (!readProject(project, file, error)) {
        result.error = error;
        result.json = BatchJson::errorObject(file, error);
        return result;
    }

    if (options.autoSets >= 0 && !project.field.isEmpty() && project.field.sets.isEmpty()) {
        AutoSetRequest request;
        request.count = options.autoSets;
        findAutoSets(project.field, request);
    }

    // As 分析 does; the conclusion as 复制文字 builds it.
    project.analysisOff = false;
    project.analyse();
    project.buildConclusion();

    // What went wrong, per output: the error line and the JSON object say it.
    BatchJson::Errors errors;
    if (project.stability.enabled) {
        const QList<ParamProblem> problems = stabilityParamProblems(project.stability, project.slope.angle);
        if (!problems.isEmpty())
            errors.append(
                {QStringLiteral("stability"),
                 tr("稳定性计算参数超出范围，未计算稳定系数：%1").arg(paramProblemsText(problems))});
    }
    auto notWritten = [&errors](const char* output, const QString& path) {
        errors.append({QLatin1String(output), tr("无法写入文件%1").arg(native(path))});
    };
    if (!options.reportDir.isEmpty() || !options.pngDir.isEmpty()) {
        // Opaque: the same pixels as the window's 32-bit picture on its white
        // background, but a PNG without the constant alpha channel is a
        // tenth smaller and written in two thirds of the time.
        QImage picture(options.size, QImage::Format_RGB32);
        renderStereonetImage(picture, project);
        if (!options.reportDir.isEmpty()) {
            const QString path = outputPath(options.reportDir, outputName, ".html");
            if (!writeReport(project, picture, path))
                notWritten("report", path);
        }
        if (!options.pngDir.isEmpty()) {
            const QString path = outputPath(options.pngDir, outputName, ".png");
            if (!writePicture(picture, path))
                notWritten("png", path);
        }
    }
    if (!options.roseDir.isEmpty() && !project.field.isEmpty()) {
        QImage rose(600, 600, QImage::Format_RGB32);
        RosePicture::renderImage(rose, project.field, FieldLayer::reportRoseSettings());
        const QString path = outputPath(options.roseDir, outputName, ".png");
        if (!writePicture(rose, path))
            notWritten("rose", path);
    }
    if (!options.dxfDir.isEmpty() || !options.dwgDir.isEmpty()) {
        project.cadRadius = options.radius;
        project.cadTextPercent = options.textPercent;
        CadDrawing::updateCadColours(project);
        if (!options.dxfDir.isEmpty()) {
            const QString path = outputPath(options.dxfDir, outputName, ".dxf");
            if (!CadFileExport::exportDxfFile(project, path))
                notWritten("dxf", path);
        }
        if (!options.dwgDir.isEmpty()) {
            const QString path = outputPath(options.dwgDir, outputName, ".dwg");
            switch (BatchDwg::writeDwgFile(CadExport::drawingXml(project), path)) {
            case BatchDwg::Result::Written:
                break;
            case BatchDwg::Result::Refused:
                errors.append({QStringLiteral("dwg"),
                               tr("图形含有DWG无法表示的数据（如超出范围的产状），未写DWG文件")});
                break;
            case BatchDwg::Result::NotWritten:
                notWritten("dwg", path);
                break;
            }
        }
    }

    // The JSON object only for a run that writes the JSON: on a large
    // project it costs more than all the other outputs together.
    if (!options.jsonPath.isEmpty())
        result.json = BatchJson::projectObject(project, file, computeStabilityFactors(project), errors);
    result.ok = errors.isEmpty();
    QStringList reasons;
    for (const auto& e : errors)
        reasons << e.second;
    result.error = reasons.join(QStringLiteral("；"));
    return result;
}

int run(const BatchOptions& options, FILE* out, FILE* err) {
    const QString jsonDir = options.jsonPath.isEmpty() || options.jsonPath == QLatin1String("-")
                                ? QString()
                                : QFileInfo(options.jsonPath).absolutePath();
    for (const QString& dir :
         {options.reportDir, options.pngDir, options.dxfDir, options.dwgDir, options.roseDir, jsonDir}) {
        if (!dir.isEmpty() && !QDir().mkpath(dir)) {
            print(err,
                  QStringLiteral("%1: %2\n").arg(programName(), tr("无法创建文件夹%1").arg(native(dir))));
            return 1;
        }
    }

    CadFileExport::fileCreationMask(); // before any worker creates a file
    const QStringList& files = options.files;
    const QStringList names = outputNames(files);
    const int total = files.size();
    std::vector<ProjectResult> results(static_cast<size_t>(total));

    int threads = options.jobs > 0 ? options.jobs : QThread::idealThreadCount();
    threads = qBound(1, threads, total);

    Progress progress(err, total, !options.quiet && total > 4);
    std::mutex lock;
    std::atomic<int> next{0};
    int done = 0;
    auto work = [&](bool once) {
        for (int i = next++; i < total; i = once ? total : next++) {
            ProjectResult r = processProject(files.at(i), names.at(i), options);
            std::lock_guard<std::mutex> guard(lock);
            if (!r.ok)
                progress.message(
                    QStringLiteral("%1: %2: %3").arg(programName(), native(files.at(i)), r.error));
            results[size_t(i)] = std::move(r);
            progress.step(++done);
        }
    };
    if (threads == 1) {
        work(false);
    } else {
        // The first project on this thread: the libraries' one-time set-up
        // (codecs, time zone, font shaping) happens before the workers start.
        work(true);
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(work, false);
        for (std::thread& t : pool)
            t.join();
    }

    bool allOk = true;
    QList<QByteArray> objects;
    for (const ProjectResult& r : results) {
        allOk = allOk && r.ok;
        objects << r.json;
    }

    if (!options.jsonPath.isEmpty()) {
        const QByteArray json = BatchJson::document(objects);
        if (options.jsonPath == QLatin1String("-")) {
            std::fwrite(json.constData(), 1, size_t(json.size()), out);
            std::fflush(out);
        } else if (!saveBytes(options.jsonPath, json)) {
            print(err, QStringLiteral("%1: %2\n")
                           .arg(programName(), tr("无法写入文件%1").arg(native(options.jsonPath))));
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}

int main(const QStringList& arguments, FILE* out, FILE* err) {
    BatchOptions options;
    QString error;
    switch (BatchCommand::parseArguments(arguments, options, error)) {
    case BatchCommand::Parse::Help:
        print(out, BatchCommand::helpText());
        return 0;
    case BatchCommand::Parse::UsageError:
        print(err,
              QStringLiteral("%1: %2\n%3\n")
                  .arg(programName(), error, tr("用法：karven-batch [选项] 文件.yty...（详见 --help）")));
        return 2;
    case BatchCommand::Parse::Run:
        break;
    }
    if (!options.dwgDir.isEmpty() && !BatchDwg::available()) {
        print(err,
              QStringLiteral("%1: %2\n").arg(programName(), tr("此版本不含DWG写出程序，不能使用 --dwg")));
        return 2;
    }
    return run(options, out, err);
}

} // namespace BatchRun
