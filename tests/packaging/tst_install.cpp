// `cmake --install` into a temporary prefix: every file a desktop needs is there and valid, the
// installed programs run, and the MIME type recognises notes files by name and by content.

#include <QDir>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFileInstalled_data();
    void everyFileInstalled();
    void desktopEntryIsValid();
    void programsRun_data();
    void programsRun();
    void notesFilesAreRecognised();

private:
    QString installed(const QString &relative) const { return prefix.filePath(relative); }
    static int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        if (output)
            *output = process.readAll();
        return process.exitCode();
    }

    QTemporaryDir prefix;
};

void TestInstall::initTestCase()
{
    QVERIFY(prefix.isValid());
    QByteArray output;
    const int status = run(QStringLiteral(QUILL_CMAKE),
                           {QStringLiteral("--install"), QStringLiteral(QUILL_BUILD_DIR), QStringLiteral("--prefix"),
                            prefix.path()},
                           &output);
    QVERIFY2(status == 0, output.constData());
}

void TestInstall::everyFileInstalled_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("executable");
    QTest::newRow("viewer") << "bin/quillmark" << true;
    QTest::newRow("tool") << "bin/quillmark-tool" << true;
    QTest::newRow("desktop entry") << "share/applications/quillmark.desktop" << false;
    QTest::newRow("MIME type") << "share/mime/packages/quillmark-notes.xml" << false;
    QTest::newRow("viewer manual") << "share/man/man1/quillmark.1" << false;
    QTest::newRow("tool manual") << "share/man/man1/quillmark-tool.1" << false;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size)))
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/quillmark.png").arg(size) << false;
}

void TestInstall::everyFileInstalled()
{
    QFETCH(QString, file);
    QFETCH(bool, executable);
    const QFileInfo info(installed(file));
    QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
    QCOMPARE(info.isExecutable(), executable);
    if (file.endsWith(QLatin1String(".png"))) {
        // Each size directory holds the icon drawn at that size.
        const int size = file.section(QLatin1Char('/'), 3, 3).section(QLatin1Char('x'), 0, 0).toInt();
        QCOMPARE(QImage(info.filePath()).size(), QSize(size, size));
    }
}

void TestInstall::desktopEntryIsValid()
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is needed");
    QByteArray output;
    QCOMPARE(run(validator, {installed(QStringLiteral("share/applications/quillmark.desktop"))}, &output), 0);
    QCOMPARE(output, QByteArray());
    QFile entry(installed(QStringLiteral("share/applications/quillmark.desktop")));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    QVERIFY(text.contains("\nExec=quillmark %f\n"));
    QVERIFY(text.contains("\nIcon=quillmark\n"));
    QVERIFY(text.contains("\nMimeType=application/x-quillmark-notes;\n"));
}

void TestInstall::programsRun_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tool version") << "bin/quillmark-tool" << QStringList{"--version"} << "quillmark-tool 7.0.0";
    QTest::newRow("tool pdf help") << "bin/quillmark-tool" << QStringList{"--help"} << "images IN.nts DIR";
    QTest::newRow("viewer help") << "bin/quillmark" << QStringList{"--help"} << "--edit";
}

void TestInstall::programsRun()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QByteArray output;
    QCOMPARE(run(installed(program), arguments, &output), 0);
    QVERIFY2(output.contains(expected.toUtf8()), output.constData());
}

void TestInstall::notesFilesAreRecognised()
{
    const QString update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    QVERIFY2(!update.isEmpty(), "update-mime-database (shared-mime-info) is needed");
    // What the package's trigger does on a real system, here on the temporary prefix only.
    QByteArray output;
    QCOMPARE(run(update, {installed(QStringLiteral("share/mime"))}, &output), 0);

    // A lookup that sees only the temporary prefix and the system's own types.
    QTemporaryDir work;
    QVERIFY(QFile::copy(QStringLiteral(QUILL_SAMPLE_FILE), work.filePath(QStringLiteral("review.nts"))));
    QVERIFY(QFile::copy(QStringLiteral(QUILL_SAMPLE_FILE), work.filePath(QStringLiteral("no-extension"))));
    QFile other(work.filePath(QStringLiteral("other.bin")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write(QByteArray("\0\0\0\x06\0\0\0\0 not notes", 19));
    other.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_DIRS"), installed(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), work.filePath(QStringLiteral("home")));
    // QMimeDatabase reads the folders once per process, so the lookup runs in a child: this test
    // itself, asked to answer one question.
    for (const auto &[file, type] : {std::pair{"review.nts", "application/x-quillmark-notes"},
                                     std::pair{"no-extension", "application/x-quillmark-notes"},
                                     std::pair{"other.bin", "application/octet-stream"}}) {
        QByteArray answer;
        QCOMPARE(run(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--mime-of"), work.filePath(QLatin1String(file))}, &answer, env),
                 0);
        QCOMPARE(answer.trimmed(), QByteArray(type));
    }
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--mime-of") == 0) {
        QCoreApplication app(argc, argv);
        std::printf("%s\n", qPrintable(QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(argv[2])).name()));
        return 0;
    }
    QApplication app(argc, argv);
    TestInstall test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_install.moc"
