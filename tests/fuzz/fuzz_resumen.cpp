// The readable summary of arbitrary signed-file bytes, as the verifier
// writes it for --resumen whether the signature holds or not: it answers
// with a title, and what the file decides the length of stays bounded.
#include "FuzzSupport.h"
#include "report/SummaryText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    const QByteArray file = fuzz::bytesOf(data, size);
    const QList<SummaryLine> lines =
        summaryLines(file, {size % 2 == 0, QStringLiteral("x")}, CatalogueNames());
    if (lines.isEmpty() || lines.first().style != SummaryLine::Style::Title)
        abort();
    return 0;
}
