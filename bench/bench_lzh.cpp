// The LZH writer on 50 MB of mixed text (Japanese prose in CP932 and CSV-like number lines):
// throughput of a whole archive write, and the archive's size against zlib's deflate at
// level 6 (what gzip -6 does) on the same bytes.
#include "platform/lzh.h"
#include "tests/support/sampleText.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr qsizetype kTextBytes = 50 * 1024 * 1024;

void BM_LzhWriter50MB(benchmark::State& state)
{
    const QByteArray text = mixedCp932Text(kTextBytes, 42);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("text.txt"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        state.SkipWithError("cannot write the sample text");
        return;
    }
    file.close();
    const QString archive = dir.filePath(QStringLiteral("text.lzh"));

    for (auto _ : state) {
        QFile::remove(archive);
        const LzhResult result = lzhAddFiles(archive, {{QStringLiteral("text.txt"), source}});
        if (!result)
            state.SkipWithError(result.error.toStdString().c_str());
    }

    const double lzhBytes = double(QFileInfo(archive).size());
    const double gzipBytes = double(qCompress(text, 6).size());
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["lzh_bytes"] = lzhBytes;
    state.counters["gzip6_bytes"] = gzipBytes;
    state.counters["lzh_vs_gzip6"] = lzhBytes / gzipBytes;
    std::printf("LZH %.0f bytes (%.1f%% of the text), gzip -6 %.0f bytes (%.1f%%), LZH/gzip -6 = %.3f\n",
                lzhBytes, 100.0 * lzhBytes / double(text.size()), gzipBytes,
                100.0 * gzipBytes / double(text.size()), lzhBytes / gzipBytes);
}

}  // namespace

BENCHMARK(BM_LzhWriter50MB)->Iterations(1)->Unit(benchmark::kMillisecond);
