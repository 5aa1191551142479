#include "csv/csv_lines.h"

#include <algorithm>

#include "csv/csv_format.h"
#include "platform/platform.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

const char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
const size_t Utf8ByteOrderMarkLength = 3;

// A cell keeps this many bytes of the file before it is converted and cut:
// enough for CsvCellLimit + 1 bytes of GB 18030 whatever the file's encoding.
const size_t RawCellBytes = 4 * (CsvCellLimit + 1);

// Follows UTF-8's rules byte by byte, across the reads of a file: no
// overlong form, no surrogate, nothing above U+10FFFF, nothing cut short.
struct Utf8Check {
    int pending = 0;                       // continuation bytes still due
    unsigned char low = 0x80, high = 0xBF;  // the range of the next one
    bool wellFormed = true;
    bool nonAscii = false;
};

void CheckUtf8Byte(Utf8Check& check, unsigned char b) {
    if (check.pending > 0) {
        if (b < check.low || b > check.high) check.wellFormed = false;
        check.low = 0x80;
        check.high = 0xBF;
        --check.pending;
        return;
    }
    if (b < 0x80) return;
    check.nonAscii = true;
    if (b >= 0xC2 && b <= 0xDF) {
        check.pending = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        check.pending = 2;
        if (b == 0xE0) check.low = 0xA0;   // no overlong form
        if (b == 0xED) check.high = 0x9F;  // no surrogate
    } else if (b >= 0xF0 && b <= 0xF4) {
        check.pending = 3;
        if (b == 0xF0) check.low = 0x90;   // no overlong form
        if (b == 0xF4) check.high = 0x8F;  // nothing above U+10FFFF
    } else {
        check.wellFormed = false;
    }
}

bool IsWholeFileUtf8(FILE* file) {
    Utf8Check check;
    unsigned char buffer[16 * 1024];
    size_t n;
    while (check.wellFormed && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (size_t i = 0; i < n && check.wellFormed; ++i) CheckUtf8Byte(check, buffer[i]);
    }
    return check.wellFormed && check.pending == 0 && check.nonAscii;
}

// Where the parser of one line stands.
enum class CsvState {
    LineStart,      // before the first byte that is not a space
    CellStart,      // right behind a comma
    InCell,         // in an unquoted cell, or behind a quoted cell's closing quote
    InQuotes,       // in a quoted cell
    QuoteInQuotes,  // behind a double quote in a quoted cell: doubled or closing
    LineEnd,
};

struct CsvLineParser {
    size_t columns;
    char separator;
    std::vector<std::string> cells;  // as the file has them
    std::string cell;
    size_t quotedEnd = 0;  // the cell's bytes up to its closing quote, which no trim takes
    size_t lineBytes = 0;
    CsvState state = CsvState::LineStart;
    bool cut = false;  // a byte of a kept cell was dropped
};

void Collect(CsvLineParser& p, char c) {
    if (p.lineBytes <= CsvLineLimit && p.cell.size() < RawCellBytes) {
        p.cell += c;
    } else if (p.cells.size() < p.columns) {
        p.cut = true;
    }
}

// Bytes of a cell that change no state, all at once: as many as Collect
// would keep of them one at a time.
void CollectRun(CsvLineParser& p, const char* bytes, size_t count) {
    size_t room = 0;
    if (p.lineBytes < CsvLineLimit && p.cell.size() < RawCellBytes) {
        room = std::min(CsvLineLimit - p.lineBytes, RawCellBytes - p.cell.size());
    }
    size_t kept = std::min(count, room);
    p.cell.append(bytes, kept);
    if (kept < count && p.cells.size() < p.columns) p.cut = true;
    p.lineBytes += count;
}

void EndCell(CsvLineParser& p) {
    if (p.cells.size() < p.columns) p.cells.push_back(std::move(p.cell));
    p.cell.clear();
    p.quotedEnd = 0;
}

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

// Takes the next byte of the line, CR LF already read as LF.
void FeedByte(CsvLineParser& p, char c) {
    ++p.lineBytes;
    switch (p.state) {
    case CsvState::InQuotes:
        if (c == '"') {
            p.state = CsvState::QuoteInQuotes;
        } else if (IsLineBreak(c)) {
            Collect(p, '\n');  // the book's line break, whichever the file has
        } else {
            Collect(p, c);
        }
        return;
    case CsvState::QuoteInQuotes:
        if (c == '"') {
            Collect(p, '"');
            p.state = CsvState::InQuotes;
            return;
        }
        p.quotedEnd = p.cell.size();
        p.state = CsvState::InCell;
        break;
    case CsvState::LineStart:
        if (c == ' ') return;
        p.state = CsvState::CellStart;
        break;
    default:
        break;
    }
    if (c == '\n') {
        p.state = CsvState::LineEnd;
    } else if (c == p.separator) {
        // Past the line's limit a comma starts no cell that could be kept.
        if (p.lineBytes <= CsvLineLimit) EndCell(p);
        p.state = CsvState::CellStart;
    } else if (c == '"' && p.state == CsvState::CellStart) {
        p.state = CsvState::InQuotes;
    } else {
        p.state = CsvState::InCell;
        Collect(p, c);
    }
}

// The last cell loses the spaces that end the line, but none inside its quotes.
void FinishLine(CsvLineParser& p) {
    bool quoteOpen = p.state == CsvState::InQuotes || p.state == CsvState::QuoteInQuotes;
    size_t untrimmed = quoteOpen ? p.cell.size() : p.quotedEnd;
    while (p.cell.size() > untrimmed && p.cell.back() == ' ') p.cell.pop_back();
    EndCell(p);
}

// The cell as GB 18030, at most CsvCellLimit bytes; `cut` is set when it
// was longer.
std::string CellAsGbk(std::string bytes, CsvEncoding encoding, bool number, bool& cut) {
    std::string gbk;
    if (encoding != CsvEncoding::Gbk) {
        std::u16string text = Utf8ToUtf16(bytes);
        gbk = Utf16ToGbk(number ? WithoutInvisibleMarks(text) : text);
    } else {
        gbk.swap(bytes);
    }
    if (gbk.size() > CsvCellLimit) {
        gbk.resize(FitGbkLength(gbk.data(), gbk.size(), CsvCellLimit));
        cut = true;
    }
    return gbk;
}

// Feeds the bytes that `next` gives (EOF at the end) up to the line's end;
// inside a cell, `takeRun` may collect the bytes up to the next one that
// could end it at once. False when there was not a single byte.
template <typename NextByte, typename TakeRun>
bool ParseLine(NextByte next, TakeRun takeRun, CsvEncoding encoding, char separator, size_t columns, CsvLine& line,
               const std::vector<bool>& numberColumns) {
    CsvLineParser parser;
    parser.columns = columns;
    parser.separator = separator;
    int c = next();
    if (c == EOF) return false;
    do {
        FeedByte(parser, static_cast<char>(c));
        if (parser.state == CsvState::InCell || parser.state == CsvState::InQuotes) takeRun(parser);
    } while (parser.state != CsvState::LineEnd && (c = next()) != EOF);
    line.ended = parser.state == CsvState::LineEnd;
    FinishLine(parser);
    line.cells.clear();
    line.cut = parser.cut;
    for (size_t k = 0; k < parser.cells.size(); ++k) {
        bool number = k < numberColumns.size() && numberColumns[k];
        line.cells.push_back(CellAsGbk(std::move(parser.cells[k]), encoding, number, line.cut));
    }
    return true;
}

const size_t CsvBlockSize = 1 << 16;

// The next byte of the file, or EOF.
int NextFileByte(CsvSource& source) {
    if (source.blockAt == source.blockEnd) {
        source.block.resize(CsvBlockSize);
        source.blockAt = 0;
        source.blockEnd = std::fread(source.block.data(), 1, source.block.size(), source.file);
        if (source.blockEnd == 0) return EOF;
    }
    return source.block[source.blockAt++];
}

// The next UTF-16 unit, or EOF; an odd last byte is dropped.
int NextUnit(CsvSource& source) {
    if (source.unitBack != EOF) {
        int unit = source.unitBack;
        source.unitBack = EOF;
        return unit;
    }
    int first = NextFileByte(source);
    if (first == EOF) return EOF;
    int second = NextFileByte(source);
    if (second == EOF) return EOF;
    return source.encoding == CsvEncoding::Utf16Le ? first | second << 8 : first << 8 | second;
}

// Decodes the next character of a UTF-16 file into source.pending as UTF-8;
// a surrogate without its partner becomes U+FFFD, which GBK lacks.
bool DecodeUtf16Character(CsvSource& source) {
    const char32_t replacement = 0xFFFD;
    int unit = NextUnit(source);
    if (unit == EOF) return false;
    char32_t c = static_cast<char32_t>(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        int low = NextUnit(source);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
        } else {
            c = replacement;
            source.unitBack = low;
        }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        c = replacement;
    }
    unsigned char* out = source.pending;
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        source.pendingCount = 1;
    } else if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | c >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        source.pendingCount = 2;
    } else if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | c >> 12);
        out[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        source.pendingCount = 3;
    } else {
        out[0] = static_cast<unsigned char>(0xF0 | c >> 18);
        out[1] = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        source.pendingCount = 4;
    }
    source.pendingAt = 0;
    return true;
}

bool IsUtf16(CsvEncoding encoding) { return encoding == CsvEncoding::Utf16Le || encoding == CsvEncoding::Utf16Be; }

// The next byte of the file's text, UTF-16 given as UTF-8.
int NextByte(CsvSource& source) {
    if (source.pushedBack != EOF) {
        int c = source.pushedBack;
        source.pushedBack = EOF;
        return c;
    }
    if (!IsUtf16(source.encoding)) return NextFileByte(source);
    if (source.pendingAt == source.pendingCount && !DecodeUtf16Character(source)) return EOF;
    return source.pending[source.pendingAt++];
}

}  // namespace

CsvEncoding DetectCsvEncoding(FILE* file) {
    char start[Utf8ByteOrderMarkLength] = {};
    size_t n = std::fread(start, 1, sizeof start, file);
    if (n == Utf8ByteOrderMarkLength && std::string(start, n) == Utf8ByteOrderMark) return CsvEncoding::Utf8;
    const long utf16MarkLength = 2;
    if (n >= 2 && (std::string(start, 2) == "\xFF\xFE" || std::string(start, 2) == "\xFE\xFF")) {
        std::fseek(file, utf16MarkLength, SEEK_SET);
        return start[0] == '\xFF' ? CsvEncoding::Utf16Le : CsvEncoding::Utf16Be;
    }
    std::rewind(file);
    bool utf8 = IsWholeFileUtf8(file);
    std::rewind(file);
    return utf8 ? CsvEncoding::Utf8 : CsvEncoding::Gbk;
}

CsvSource OpenCsvSource(FILE* file) {
    CsvSource source = {file, DetectCsvEncoding(file), ',', {}, 0, 0, EOF};
    return source;
}

bool ReadCsvLine(CsvSource& source, size_t columns, CsvLine& line) {
    auto next = [&source]() {
        int c = NextByte(source);
        if (c != '\r') return c;
        int after = NextByte(source);
        if (after == '\n') return after;
        source.pushedBack = after;
        return c;
    };
    // A byte file's ordinary bytes are taken from the block where they lie.
    auto takeRun = [&source](CsvLineParser& parser) {
        if (source.pushedBack != EOF || IsUtf16(source.encoding)) return;
        const unsigned char* start = source.block.data() + source.blockAt;
        const unsigned char* end = source.block.data() + source.blockEnd;
        const unsigned char* at = start;
        while (at < end && *at != source.separator && *at != '"' && *at != '\n' && *at != '\r') ++at;
        CollectRun(parser, reinterpret_cast<const char*>(start), static_cast<size_t>(at - start));
        source.blockAt += static_cast<size_t>(at - start);
    };
    CsvEncoding cells = source.encoding == CsvEncoding::Gbk ? CsvEncoding::Gbk : CsvEncoding::Utf8;
    return ParseLine(next, takeRun, cells, source.separator, columns, line, source.numberColumns);
}

CsvLine SplitCsvLine(const std::string& text, size_t columns) {
    size_t at = 0;
    auto next = [&text, &at]() {
        if (at == text.size()) return EOF;
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        return static_cast<int>(static_cast<unsigned char>(text[at++]));
    };
    CsvLine line;
    ParseLine(next, [](CsvLineParser&) {}, CsvEncoding::Gbk, ',', columns, line, {});
    return line;
}
