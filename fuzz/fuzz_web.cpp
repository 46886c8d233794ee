// Fuzz target: what fachlese-web parses itself.
//
// The first byte chooses the parser, the rest is its input:
//   0  a form body: the grid read from it holds only the page's own cells, each at most
//      kMaxCellLength long; auto-fill, the Prüfliste and the test run on it; every escaped cell
//      text is free of the characters that could end an attribute or start a tag; the live
//      check's shortcut reads the same grid from the body;
//   1  a JSON body: the same;
//   2  a Cookie header: the value found holds no separator;
//   3  a class list: no field holds a line break, and the list of codes written for the
//      pupils reads back to the very same pupils.
// A broken property aborts, which libFuzzer reports as a finding.

#include "fuzz/property.h"
#include "web/choiceform.h"
#include "web/choicerun.h"
#include "web/classlist.h"
#include "web/formdata.h"
#include "web/html.h"

#include <cstdint>

namespace {
void checkForm(const FormFields &fields) {
    require(fields.size() <= 200, "at most 200 fields");
    GridSnapshotTexts cells = CellsFromForm(fields);
    for (const QString &text : cells.texts) {
        require(text.size() <= kMaxCellLength, "cells are cut");
        const QString escaped = HtmlEscape(text);
        require(!escaped.contains(u'<') && !escaped.contains(u'>') && !escaped.contains(u'"') &&
                    !escaped.contains(u'\''),
                "escaped texts hold no markup");
    }
    const GridSnapshotTexts before = cells;
    AutoFillChanged(cells, GridSnapshotTexts{});
    ChecklistOf(cells);
    const TestOutcome open = RunChoiceTest(before, std::nullopt);
    require(!(open.passed && open.questionOpen), "an open question never passes");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 4) {
    case 0:
        checkForm(ParseFormBody(input));
        // The live check's shortcut reads the same cells, where no name can be encoded.
        if (!input.contains('%') && input.count('&') < 150)
            require(CellsFromFormBody(input).texts == CellsFromForm(ParseFormBody(input)).texts,
                    "the body is read as the form");
        break;
    case 1:
        checkForm(ParseJsonFields(input));
        break;
    case 2:
        require(!CookieValue(input, "fachlese_sitzung").contains(';'), "a cookie value holds no separator");
        break;
    case 3: {
        QList<Pupil> pupils = ParseClassList(input);
        for (Pupil &pupil : pupils) {
            for (const QString &field : {pupil.surname, pupil.firstName, pupil.className})
                require(!field.contains(u'\n') && !field.contains(u'\r'), "no line break in a name");
            pupil.code = QStringLiteral("ABCD-EFGH-JKMN");
        }
        require(ParseCodeList(CodeListBytes(pupils)) == pupils, "the list of codes reads back");
        break;
    }
    }
    return 0;
}
