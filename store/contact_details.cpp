#include "store/contact_details.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>

#include "platform/platform.h"

namespace {

const char* const KindNames[ItemKindCount] = {"phone", "email", "address", "url", "im", "note", "date", "related", "custom"};

// Where an item stands in the order: its kind, then for a custom item its
// rank among the name's parts (NamePartCount for any other).
const int NamePartCount = 4;

int ItemRank(const ContactItem& item) {
    int rank = static_cast<int>(item.kind) * (NamePartCount + 1);
    if (item.kind != ItemKind::Custom) return rank;
    static const std::string labels[NamePartCount] = {MiddleNameLabel(), NamePrefixLabel(), NameSuffixLabel(),
                                                      OrganisationUnitLabel()};
    int part = 0;
    while (part < NamePartCount && item.label != labels[part]) ++part;
    return rank + part;
}

bool RanksBefore(const ContactItem& a, const ContactItem& b) { return ItemRank(a) < ItemRank(b); }

}  // namespace

std::string MiddleNameLabel() { return Utf16ToGbk(u"中间名"); }
std::string NamePrefixLabel() { return Utf16ToGbk(u"称谓"); }
std::string NameSuffixLabel() { return Utf16ToGbk(u"后缀"); }
std::string OrganisationUnitLabel() { return Utf16ToGbk(u"部门"); }

void OrderItems(std::vector<ContactItem>& items) {
    if (std::is_sorted(items.begin(), items.end(), RanksBefore)) return;
    std::stable_sort(items.begin(), items.end(), RanksBefore);
}

size_t InsertItemInOrder(std::vector<ContactItem>& items, const ContactItem& item) {
    auto at = std::upper_bound(items.begin(), items.end(), item, RanksBefore);
    return static_cast<size_t>(items.insert(at, item) - items.begin());
}

bool operator==(const ContactItem& a, const ContactItem& b) {
    return a.kind == b.kind && a.label == b.label && a.parts == b.parts;
}

bool operator==(const ContactDetails& a, const ContactDetails& b) {
    return a.id == b.id && a.items == b.items && a.wholes == b.wholes;
}

bool SameItems(const std::vector<ContactItem>& a, const std::vector<ContactItem>& b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    auto order = [](const ContactItem& x, const ContactItem& y) {
        return std::tie(x.kind, x.label, x.parts) < std::tie(y.kind, y.label, y.parts);
    };
    std::vector<ContactItem> sortedA = a, sortedB = b;
    std::sort(sortedA.begin(), sortedA.end(), order);
    std::sort(sortedB.begin(), sortedB.end(), order);
    return sortedA == sortedB;
}

const char* ItemKindName(ItemKind kind) {
    int k = static_cast<int>(kind);
    return k >= 0 && k < ItemKindCount ? KindNames[k] : "custom";
}

bool ItemKindFromName(const std::string& name, ItemKind& kind) {
    for (int k = 0; k < ItemKindCount; ++k) {
        if (name == KindNames[k]) {
            kind = static_cast<ItemKind>(k);
            return true;
        }
    }
    return false;
}

int ItemPartCount(ItemKind kind) {
    if (kind == ItemKind::Address) return AddressPartCount;
    if (kind == ItemKind::Im) return ImPartCount;
    return 1;
}

ContactItem MakeItem(ItemKind kind, const std::string& label, const std::string& value) {
    ContactItem item;
    item.kind = kind;
    item.label = label;
    item.parts.assign(ItemPartCount(kind), std::string());
    item.parts[kind == ItemKind::Im ? ImName : 0] = value;
    return item;
}

std::string JoinedParts(const ContactItem& item) {
    std::string joined;
    for (size_t i = 0; i < item.parts.size(); ++i) {
        if (i > 0) joined += ';';
        joined += item.parts[i];
    }
    return joined;
}

bool HasOtherInformation(const ContactDetails& details) {
    return details.idKept || !details.items.empty() || !details.wholes.empty();
}

void SetWholeField(ContactRecord& record, ContactDetails& details, ContactField field, const std::string& text) {
    SetField(record, field, text);
    // Compared where it lies: an import calls this for most fields of every contact.
    const char* stored = FieldText(record, field);
    size_t length = strnlen(stored, static_cast<size_t>(FieldInfo(field).width));
    if (length == text.size() && std::memcmp(stored, text.data(), length) == 0) {
        if (!details.wholes.empty()) details.wholes.erase(field);
    } else {
        details.wholes[field] = text;
    }
}

namespace {

// True when the field holds what SetField makes of the whole text: the
// field was not changed since (by a program that knows only the fields,
// or by hand).
bool HoldsCutForm(const ContactRecord& record, ContactField field, const std::string& whole) {
    // SetField writes every byte of the field, the only one read here; the
    // rest of the probe is left as it is, unread (an import asks this of
    // every whole form it keeps).
    ContactRecord probe;
    SetField(probe, field, whole);
    size_t width = static_cast<size_t>(FieldInfo(field).width);
    return std::strncmp(FieldText(probe, field), FieldText(record, field), width) == 0;
}

}  // namespace

std::string WholeFieldValue(const ContactRecord& record, const ContactDetails& details, ContactField field) {
    if (!details.wholes.empty()) {
        auto it = details.wholes.find(field);
        if (it != details.wholes.end() && HoldsCutForm(record, field, it->second)) return it->second;
    }
    return FieldValue(record, field);
}

void DropStaleWholeForms(const ContactRecord& record, ContactDetails& details) {
    for (auto it = details.wholes.begin(); it != details.wholes.end();) {
        if (HoldsCutForm(record, static_cast<ContactField>(it->first), it->second)) {
            ++it;
        } else {
            it = details.wholes.erase(it);
        }
    }
}

std::string NewContactId() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 2; ++i) {
        uint64_t bits = generator();
        for (int d = 0; d < 16; ++d) id += digits[(bits >> (4 * d)) & 0xF];
    }
    return id;
}
