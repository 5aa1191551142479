// The columns that Corvelle's CSV export adds after the 27 when exported
// contacts have items ("其他电话1", "其他电话1标签", "网页1", "备注1", ...),
// and how the reader knows them again.
#pragma once

#include <string>
#include <vector>

#include "csv/csv_layouts.h"
#include "store/contact_store.h"

// The column of one of those titles (GBK); false for any other title.
bool MatchOwnItemTitle(const std::string& title, CsvColumn& column);

// An address's seven parts as one cell: joined by ";", a ";" or "\" in a
// part escaped with "\"; and back.
std::string JoinAddressCell(const std::vector<std::string>& parts);
std::vector<std::string> SplitAddressCell(const std::string& cell);

// The item columns for the contacts exported: per kind, as many numbered
// groups as the contact with most items of that kind needs.
struct ItemColumnSlot {
    ItemKind kind;
    int number;  // from 1
};
std::vector<ItemColumnSlot> ItemColumnSlots(const ContactStore& store, bool onlyTicked);
// The titles of the slots' columns, and one contact's cells, in that order.
std::vector<std::string> ItemColumnTitles(const std::vector<ItemColumnSlot>& slots);
std::vector<std::string> ItemColumnCells(const std::vector<ItemColumnSlot>& slots, const ContactDetails& details);
