// The lines of a CSV file as cells of GBK text: which encoding the file
// is in, where a line ends when a quoted cell holds line breaks, and how a
// quoted cell reads.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// The encodings a CSV file is read in. Spreadsheets and Google save UTF-8;
// Corvelle itself and older programs write GBK; Google's older export and
// some Windows tools write UTF-16.
enum class CsvEncoding { Gbk, Utf8, Utf16Le, Utf16Be };

// UTF-16 when the file begins with a UTF-16 byte-order mark; UTF-8 when it
// begins with the UTF-8 byte-order mark, or when all its bytes are
// well-formed UTF-8 and some of them are not ASCII; GBK otherwise. The
// whole file is looked at: GBK text is well-formed UTF-8 only by rare
// chance, and over a few lines of Chinese practically never. Leaves the
// file at its first byte of text, behind the mark.
CsvEncoding DetectCsvEncoding(FILE* file);

// A CSV file being read: UTF-16 reaches the parser as UTF-8.
struct CsvSource {
    FILE* file;
    CsvEncoding encoding;
    char separator;  // ',', or ';' as spreadsheets of some countries write
    unsigned char pending[4];  // the rest of a character decoded from UTF-16
    int pendingCount;
    int pendingAt;
    int pushedBack;  // a byte read too far, or EOF for none
    // The columns of numbers (phones, faxes, QQ), whose cells lose the
    // invisible marks that some programs put around a number.
    std::vector<bool> numberColumns = {};
    // The file is read a block at a time: a byte at a time through the C
    // library takes a lock for each byte.
    std::vector<unsigned char> block = {};
    size_t blockAt = 0;
    size_t blockEnd = 0;
    int unitBack = EOF;  // a UTF-16 unit read too far, or EOF for none
};

// The file, its encoding detected; it stays open and the caller's.
CsvSource OpenCsvSource(FILE* file);

struct CsvLine {
    // GB 18030, each cell at most CsvCellLimit bytes, cut at a whole character.
    std::vector<std::string> cells;
    bool ended = false;  // by a line end, not by the end of the file
    bool cut = false;    // a kept cell lost text: past CsvCellLimit, or past the line's limit
};

// Reads the next line, keeping its first `columns` cells. False at the
// end of the file.
// - A line ends at LF or CR LF outside double quotes; a CR alone is an
//   ordinary byte. Spaces at the start of the line and at the end of its
//   last cell (outside quotes) are dropped.
// - Commas (or the source's separator) separate cells. A cell that begins with a double quote is
//   quoted: it runs to the next double quote that is not doubled, "" in
//   it is one double quote, and commas and line breaks in it are text; a
//   line break in it (CR LF, LF or CR) is kept as LF, the book's line
//   break (a field makes it a space, an item and a whole form keep it). Bytes after the closing
//   quote, up to the comma, are added as they are. A double quote anywhere else is an ordinary byte.
// - A quote that never closes runs to the end of the file. Only the first
//   CsvLineLimit bytes of a line give cells; the rest is read to find the
//   line's end, so one line is never taken as two.
bool ReadCsvLine(CsvSource& source, size_t columns, CsvLine& line);

// The first line of a GBK text, read as ReadCsvLine reads it from a file.
CsvLine SplitCsvLine(const std::string& text, size_t columns);
