#include "csv/csv_items.h"

#include <vector>

#include "store/fixed_text.h"

namespace {

const char16_t* const KindTitles[ItemKindCount] = {u"其他电话", u"其他邮箱", u"其他地址", u"网页", u"即时通讯",
                                                   u"备注",     u"日期",     u"相关人",   u"其他信息"};
const char16_t LabelSuffix[] = u"标签";
const char16_t ServiceSuffix[] = u"服务";

std::string KindTitle(int kind) { return GbkText(KindTitles[kind]); }

std::string SlotTitle(const ItemColumnSlot& slot) {
    return KindTitle(static_cast<int>(slot.kind)) + std::to_string(slot.number);
}

// The n-th item of the kind, or null.
const ContactItem* NthItem(const ContactDetails& details, ItemKind kind, int n) {
    for (const ContactItem& item : details.items) {
        if (item.kind == kind && --n == 0) return &item;
    }
    return nullptr;
}

// The GBK patterns of the item columns, made once: a file's every title is matched against them.
struct ItemTitlePattern {
    std::string pattern;
    CsvRole role;
    int kind;
};

const std::vector<ItemTitlePattern>& ItemTitlePatterns() {
    static const std::vector<ItemTitlePattern> patterns = [] {
        std::vector<ItemTitlePattern> made;
        for (int kind = 0; kind < ItemKindCount; ++kind) {
            std::string base = KindTitle(kind) + "#";
            made.push_back({base, CsvRole::ItemValue, kind});
            made.push_back({base + GbkText(LabelSuffix), CsvRole::ItemLabel, kind});
            if (kind == static_cast<int>(ItemKind::Im)) made.push_back({base + GbkText(ServiceSuffix), CsvRole::ItemService, kind});
        }
        return made;
    }();
    return patterns;
}

}  // namespace

bool MatchOwnItemTitle(const std::string& title, CsvColumn& column) {
    // Every title of these columns starts with a Chinese character.
    if (title.empty() || static_cast<unsigned char>(title[0]) < 0x80) return false;
    for (const ItemTitlePattern& item : ItemTitlePatterns()) {
        int number = 0;
        if (MatchPattern(item.pattern, title, number)) {
            column = {item.role, item.kind, number};
            return true;
        }
    }
    return false;
}

std::string JoinAddressCell(const std::vector<std::string>& parts) {
    std::string cell;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) cell += ';';
        for (size_t k = 0; k < parts[i].size(); ++k) {
            unsigned char c = static_cast<unsigned char>(parts[i][k]);
            if (c == ';' || c == '\\') cell += '\\';
            cell += parts[i][k];
            // The second byte of a GBK character may look like a "\".
            if (c >= 0x81 && k + 1 < parts[i].size()) cell += parts[i][++k];
        }
    }
    return cell;
}

std::vector<std::string> SplitAddressCell(const std::string& cell) {
    std::vector<std::string> parts(1);
    for (size_t k = 0; k < cell.size(); ++k) {
        unsigned char c = static_cast<unsigned char>(cell[k]);
        if (c == '\\' && k + 1 < cell.size()) {
            parts.back() += cell[++k];
        } else if (c == ';' && parts.size() < AddressPartCount) {
            parts.emplace_back();
        } else {
            parts.back() += cell[k];
            if (c >= 0x81 && k + 1 < cell.size()) parts.back() += cell[++k];
        }
    }
    parts.resize(AddressPartCount);
    return parts;
}

std::vector<ItemColumnSlot> ItemColumnSlots(const ContactStore& store, bool onlyTicked) {
    int most[ItemKindCount] = {};
    for (const auto& record : store.records) {
        if (onlyTicked && !IsTicked(*record)) continue;
        int count[ItemKindCount] = {};
        const ContactDetails* details = FindDetails(store, record.get());
        if (!details) continue;
        for (const ContactItem& item : details->items) {
            int kind = static_cast<int>(item.kind);
            if (++count[kind] > most[kind]) most[kind] = count[kind];
        }
    }
    std::vector<ItemColumnSlot> slots;
    for (int kind = 0; kind < ItemKindCount; ++kind) {
        for (int n = 1; n <= most[kind]; ++n) slots.push_back({static_cast<ItemKind>(kind), n});
    }
    return slots;
}

std::vector<std::string> ItemColumnTitles(const std::vector<ItemColumnSlot>& slots) {
    std::vector<std::string> titles;
    for (const ItemColumnSlot& slot : slots) {
        titles.push_back(SlotTitle(slot));
        titles.push_back(SlotTitle(slot) + GbkText(LabelSuffix));
        if (slot.kind == ItemKind::Im) titles.push_back(SlotTitle(slot) + GbkText(ServiceSuffix));
    }
    return titles;
}

std::vector<std::string> ItemColumnCells(const std::vector<ItemColumnSlot>& slots, const ContactDetails& details) {
    std::vector<std::string> cells;
    for (const ItemColumnSlot& slot : slots) {
        const ContactItem* item = NthItem(details, slot.kind, slot.number);
        std::string value, label, service;
        if (item) {
            label = item->label;
            if (item->kind == ItemKind::Address) {
                value = JoinAddressCell(item->parts);
            } else if (item->kind == ItemKind::Im) {
                value = item->parts[ImName];
                service = item->parts[ImService];
            } else {
                value = item->parts.empty() ? std::string() : item->parts[0];
            }
        }
        cells.push_back(value);
        cells.push_back(label);
        if (slot.kind == ItemKind::Im) cells.push_back(service);
    }
    return cells;
}
