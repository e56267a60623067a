// Replays a corpus without libFuzzer: each file of the folder given, once; no file at all fails.

#include <QDirIterator>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (QDirIterator files(QString::fromLocal8Bit(argv[argc - 1]), QDir::Files); files.hasNext(); ++replayed) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        qInfo("%s", qPrintable(file.fileName()));
        const QByteArray input = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    }
    return replayed > 0 ? 0 : 1;
}
