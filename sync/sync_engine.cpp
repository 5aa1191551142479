#include "sync/sync_engine.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "platform/gb18030.h"
#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "store/imported_contact.h"
#include "sync/contact_card.h"
#include "sync/sync_state.h"
#include "sync/vcard_merge.h"

namespace {

// Writes that meet a card changed since it was read are merged and tried
// again this often before the synchronisation gives up on the card.
const int MaxWriteAttempts = 3;
// A deletion of more than a tenth of the book, and at least this many
// contacts, waits for the user's word.
const int MassDeleteFloor = 10;

std::string ConflictItemLabel() { return GbkText(u"服务器"); }

bool AllHeld(const CardProperty&) { return true; }

// The contact id that marks a card of the state to be dropped when it is saved.
const char DroppedCard[] = "\x01";

// A synchronisation stops: how, and why in words.
struct Stop {
    SyncOutcome outcome;
    std::string message;
};

struct Sync {
    Document& document;
    CardDavClient& client;
    AddressBook book;
    const SyncOptions& options;
    SyncProgress* progress;
    SyncReport& report;
    SyncState state;
    bool firstSync = false;
    std::vector<SyncedCard> bases;  // a first synchronisation's cards of a state it cannot trust
    ImportGroups made;
    std::unordered_map<std::string, ContactRecord*> byId;
    std::unordered_map<std::string, size_t> known;  // href -> card of the state as loaded
    std::unordered_map<std::string, const SyncedCard*> baseOf;  // href -> card of `bases`
};

Stop Failure(const DavResult& result) {
    if (result.status == DavUnauthorized) return {SyncOutcome::NeedsPassword, GbkText(u"服务器拒绝了用户名或密码。")};
    return {SyncOutcome::Failed, GbkText(u"同步失败：") + Utf8ToGb18030(result.message)};
}

bool Cancelled(const Sync& sync) { return sync.progress && sync.progress->cancel.load(); }

void Step(Sync& sync) {
    if (sync.progress) ++sync.progress->done;
}

std::string Render(const Sync& sync, const ContactRecord* record) {
    return ContactCardText(*record, DetailsOf(sync.document.contacts, record), sync.document.groups);
}

ParsedCard Parsed(const std::string& text) {
    ParsedCard card;
    ParseCard(text, card);
    return card;
}

// The same card in the program's own form: the same properties, whatever
// their order.
bool SameCard(const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (a.empty() || b.empty()) return false;
    MergeResult merged = MergeCards(Parsed(a), Parsed(a), Parsed(b), AllHeld, KeepServer);
    return !merged.localChanged && Parsed(a).properties.size() == Parsed(b).properties.size();
}

// The server's card as the program would write the contact it holds; the
// UID is the contact's id, whatever the card says. Empty when the card
// names no contact.
std::string ServerForm(Sync& sync, const std::string& raw, const std::string& contactId) {
    VcardCard card;
    if (!ReadContactCard(raw, card)) return std::string();
    card.details.id = contactId;
    card.details.idKept = true;
    card.record.GroupIndex = GroupForCategory(sync.document.groups, card.category, sync.made);
    return ContactCardText(card.record, card.details, sync.document.groups);
}

// The contact takes what the card says; its id, tick and row stay.
bool ApplyCard(Sync& sync, ContactRecord* record, const std::string& text) {
    VcardCard card;
    if (!ReadContactCard(text, card)) return false;
    ContactDetails& details = DetailsOf(sync.document.contacts, record);
    card.record.GroupIndex = GroupForCategory(sync.document.groups, card.category, sync.made);
    card.record.CheckFlag = record->CheckFlag;
    card.record.ShownFlag = record->ShownFlag;
    *record = card.record;
    std::string id = details.id;
    details = card.details;
    details.id = id;
    details.idKept = true;
    return true;
}

// A new contact from a server's card; null when the card names none or
// the book is full.
ContactRecord* AddFromCard(Sync& sync, const std::string& raw, const std::string& wantedId) {
    VcardCard card;
    if (!ReadContactCard(raw, card) || !HasRoomFor(sync.document.contacts, 1)) return nullptr;
    std::string id = !wantedId.empty() ? wantedId : card.details.id;
    if (id.empty() || sync.byId.count(id)) id = NewContactId();
    card.details.id = id;
    card.details.idKept = true;
    card.record.GroupIndex = GroupForCategory(sync.document.groups, card.category, sync.made);
    ContactRecord* record = AppendContact(sync.document.contacts, card.record, card.details);
    sync.byId[id] = record;
    return record;
}

bool Commit(Sync& sync, bool complete, const std::string& token) {
    if (complete) sync.state.token = token;
    std::string bytes = EncodeAddressBook(sync.document.groups, sync.document.contacts);
    return !bytes.empty() && SaveBookAndState(sync.document.currentPath, bytes, sync.state);
}

std::string DisplayedName(const ContactRecord* record) {
    return FieldValue(*record, Surname) + FieldValue(*record, GivenName);
}

// The server's side of a conflict kept as an item, so nothing is lost.
ContactItem ItemOfProperty(const CardProperty& property) {
    std::string text = CardValueText(property.value);
    ItemKind kind = property.name == "TEL"     ? ItemKind::Phone
                    : property.name == "EMAIL" ? ItemKind::Email
                    : property.name == "URL"   ? ItemKind::Url
                    : property.name == "NOTE"  ? ItemKind::Note
                                               : ItemKind::Custom;
    return MakeItem(kind, ConflictItemLabel(), text);
}

// Lists each conflict once, and with KeepBoth keeps the server's value
// as an item of the contact (once, however often the merge is tried).
void KeepConflicts(Sync& sync, ContactRecord* record, const std::vector<MergeConflict>& conflicts) {
    ContactDetails& details = DetailsOf(sync.document.contacts, record);
    for (const MergeConflict& conflict : conflicts) {
        SyncConflict reported;
        reported.contactId = details.id;
        reported.contactName = DisplayedName(record);
        reported.property = conflict.key.substr(0, conflict.key.find(';'));
        if (conflict.inLocal) reported.localValue = CardValueText(conflict.local.value);
        if (conflict.inServer) reported.serverValue = CardValueText(conflict.server.value);
        bool listed = false;
        for (const SyncConflict& other : sync.report.conflicts) {
            listed = listed || (other.contactId == reported.contactId && other.property == reported.property &&
                                other.localValue == reported.localValue && other.serverValue == reported.serverValue);
        }
        if (!listed) sync.report.conflicts.push_back(reported);
        if (sync.options.conflicts != ConflictChoice::KeepBoth || !conflict.inServer) continue;
        ContactItem kept = ItemOfProperty(conflict.server);
        bool held = false;
        for (const ContactItem& item : details.items) held = held || item == kept;
        if (!held) details.items.push_back(kept);
    }
}

// Reads a card by GET into the entry's server side.
DavResult Refetch(Sync& sync, SyncedCard& entry) {
    CardData data;
    DavResult got = FetchCard(sync.client, sync.book, entry.href, data);
    if (Succeeded(got)) {
        entry.serverCard = data.vcard;
        entry.etag = data.etag;
    }
    return got;
}

// After a write: the ETag the server gave, or the card fetched for its own.
DavResult TakeWritten(Sync& sync, SyncedCard& entry, const WriteResult& written, const std::string& sent) {
    entry.serverCard = sent;
    entry.etag = written.etag;
    if (!written.etag.empty()) return DavResult();
    return Refetch(sync, entry);
}

// Brings a contact and its card together: `base` is the card both sides
// last agreed on (empty when none is known), the entry holds the server's
// card as it is now.
DavResult Reconcile(Sync& sync, SyncedCard& entry, ContactRecord* record, std::string base, bool serverFresh) {
    for (int attempt = 0;; ++attempt) {
        std::string local = Render(sync, record);
        std::string server = serverFresh || base.empty() ? ServerForm(sync, entry.serverCard, entry.contactId) : base;
        if (server.empty()) server = base;  // a card that names nobody changes nothing
        if (SameCard(local, server)) {
            entry.agreedCard = local;
            return DavResult();
        }
        bool localChanged = !SameCard(local, base);
        bool serverChanged = !SameCard(server, base);
        if (!localChanged && serverChanged) {
            ApplyCard(sync, record, entry.serverCard);
            entry.agreedCard = Render(sync, record);
            ++sync.report.downloaded;
            return DavResult();
        }
        if (serverChanged) {
            MergePreference preference =
                sync.options.conflicts == ConflictChoice::PreferServer ? KeepServer : KeepLocal;
            MergeResult merged = MergeCards(Parsed(base), Parsed(local), Parsed(server), AllHeld, preference);
            ApplyCard(sync, record, CardText(merged.merged));
            KeepConflicts(sync, record, merged.conflicts);
            local = Render(sync, record);
            ++sync.report.downloaded;
        }
        // Only the properties the program holds change on the server.
        MergeResult upload = MergeCards(Parsed(server), Parsed(local), Parsed(entry.serverCard), ContactHolds, KeepLocal);
        if (!upload.uploadNeeded) {
            entry.agreedCard = local;
            return DavResult();
        }
        std::string text = CardText(upload.upload);
        if (entry.etag.empty()) {
            DavResult got = Refetch(sync, entry);
            if (!Succeeded(got)) return got;
            serverFresh = true;
            if (attempt + 1 < MaxWriteAttempts) continue;
        }
        WriteResult written;
        DavResult put = UpdateCard(sync.client, sync.book, entry.href, entry.etag, text, written);
        if (Succeeded(put)) {
            entry.agreedCard = local;
            ++sync.report.uploaded;
            return TakeWritten(sync, entry, written, text);
        }
        if (put.status != DavPreconditionFailed || attempt + 1 >= MaxWriteAttempts) return put;
        // Changed meanwhile: merge with what the server holds now, against what was agreed.
        DavResult got = Refetch(sync, entry);
        if (!Succeeded(got)) return got;
        serverFresh = true;
    }
}

SyncedCard* EntryOf(Sync& sync, const std::string& href) {
    for (SyncedCard& card : sync.state.cards) {
        if (card.href == href) return &card;
    }
    return nullptr;
}

std::string BaseFor(const Sync& sync, const std::string& href, const std::string& contactId) {
    auto base = sync.baseOf.find(href);
    if (base == sync.baseOf.end() || base->second->contactId != contactId) return std::string();
    return base->second->agreedCard;
}

// The state's card of an href, as the state was loaded.
SyncedCard* KnownEntry(Sync& sync, const std::string& href) {
    auto found = sync.known.find(href);
    return found == sync.known.end() ? nullptr : &sync.state.cards[found->second];
}

// Uploads a contact the server does not have. A card already under its
// name, or with its UID, is the same contact from an earlier, broken off
// synchronisation (or another device): it is brought together with it.
DavResult Upload(Sync& sync, ContactRecord* record) {
    const std::string id = DetailsOf(sync.document.contacts, record).id;
    std::string text = Render(sync, record);
    std::string name = id;
    for (int attempt = 0; attempt < MaxWriteAttempts; ++attempt) {
        WriteResult written;
        DavResult created = CreateCard(sync.client, sync.book, name, text, written);
        SyncedCard entry;
        entry.contactId = id;
        if (Succeeded(created)) {
            entry.href = HrefPath(written.href.empty() ? HrefPath(sync.book.url) + CardResourceName(name) : written.href);
            entry.agreedCard = text;
            DavResult taken = TakeWritten(sync, entry, written, text);
            if (!Succeeded(taken)) return taken;
            sync.state.cards.push_back(entry);
            ++sync.report.uploaded;
            return DavResult();
        }
        if (created.status == DavCardTooLarge) {
            sync.report.message += GbkText(u"联系人太大，服务器不收：") + DisplayedName(record) + "\r\n";
            return DavResult();
        }
        if (created.status != DavPreconditionFailed && created.status != DavUidConflict) return created;
        entry.href = created.status == DavUidConflict ? HrefPath(created.href)
                                                      : HrefPath(sync.book.url) + CardResourceName(name);
        DavResult got = Refetch(sync, entry);
        if (!Succeeded(got)) return got;
        VcardCard card;
        if (created.status == DavUidConflict || (ReadContactCard(entry.serverCard, card) && card.details.id == id)) {
            if (EntryOf(sync, entry.href)) return DavResult();  // already linked to a contact
            sync.state.cards.push_back(entry);
            return Reconcile(sync, sync.state.cards.back(), record, BaseFor(sync, entry.href, id), true);
        }
        name = id + "-" + NewContactId().substr(0, 8);  // another card holds the name
    }
    return DavResult();
}

// Deletes a card whose contact the user deleted; a card changed on the
// server meanwhile comes back as a contact instead.
DavResult DeleteOnServer(Sync& sync, size_t index) {
    SyncedCard& entry = sync.state.cards[index];
    for (int attempt = 0; attempt < MaxWriteAttempts; ++attempt) {
        DavResult noEtag;
        noEtag.status = DavNoEtag;
        DavResult deleted = entry.etag.empty() ? noEtag
                                               : DeleteCard(sync.client, sync.book, entry.href, entry.etag);
        if (Succeeded(deleted) || deleted.status == DavNotFound) {
            entry.contactId = DroppedCard;  // dropped below
            ++sync.report.deleted;
            return DavResult();
        }
        if (deleted.status != DavPreconditionFailed && deleted.status != DavNoEtag) return deleted;
        std::string etag = entry.etag;
        DavResult got = Refetch(sync, entry);
        if (got.status == DavNotFound) {
            entry.contactId = DroppedCard;
            return DavResult();
        }
        if (!Succeeded(got)) return got;
        if (deleted.status == DavPreconditionFailed || etag != entry.etag) {
            ContactRecord* back = AddFromCard(sync, entry.serverCard, entry.contactId);
            if (back) {
                entry.contactId = DetailsOf(sync.document.contacts, back).id;
                entry.agreedCard = Render(sync, back);
                ++sync.report.downloaded;
            }
            return DavResult();
        }
    }
    return DavResult();
}

// Fields compared as the import's duplicate test compares them; a
// birthday's parts as numbers.
std::string ContentKey(const ContactRecord& record) {
    std::string key;
    for (int field = 0; field < ContactFieldCount; ++field) {
        if (field == Gender) {
            key += IsExportedFemale(record.Gender) ? "F" : "M";
            continue;
        }
        std::string text = FieldValue(record, static_cast<ContactField>(field));
        if (field == BirthYear || field == BirthMonth || field == BirthDay) {
            while (text.size() > 1 && text[0] == '0') text.erase(0, 1);
        }
        key += text + '\x1f';
    }
    return key;
}

struct Plan {
    std::vector<std::pair<size_t, ContactRecord*>> reconcile;  // entry, contact
    std::vector<std::string> download;                         // new cards of the server
    std::vector<ContactRecord*> upload;
    std::vector<size_t> deleteOnServer;
    std::vector<size_t> deleteLocal;
    std::vector<size_t> restore;  // entries whose contact comes back from the server
    std::vector<size_t> forget;  // entries of cards gone from both sides
};

}  // namespace

bool ResolveConflict(Document& document, const SyncConflict& conflict, bool useServerValue) {
    for (const auto& owned : document.contacts.records) {
        ContactRecord* record = owned.get();
        const ContactDetails* found = FindDetails(document.contacts, record);
        if (!found || found->id != conflict.contactId) continue;
        ContactDetails& details = DetailsOf(document.contacts, record);
        auto kept = details.items.end();
        for (auto item = details.items.begin(); item != details.items.end(); ++item) {
            if (item->label == ConflictItemLabel() && JoinedParts(*item) == conflict.serverValue) kept = item;
        }
        if (kept == details.items.end()) return false;
        details.items.erase(kept);
        if (!useServerValue) return true;
        if (conflict.property == "N") {
            std::string value = conflict.serverValue;
            size_t semicolon = value.find(';');
            SetWholeField(*record, details, Surname, value.substr(0, semicolon));
            std::string given = semicolon == std::string::npos ? "" : value.substr(semicolon + 1);
            SetWholeField(*record, details, GivenName, given.substr(0, given.find(';')));
            return true;
        }
        for (int field = 0; field < ContactFieldCount; ++field) {
            if (field == Gender) continue;
            ContactField f = static_cast<ContactField>(field);
            if (!conflict.localValue.empty() && WholeFieldValue(*record, details, f) == conflict.localValue) {
                SetWholeField(*record, details, f, conflict.serverValue);
                return true;
            }
        }
        for (ContactItem& item : details.items) {
            if (!item.parts.empty() && JoinedParts(item) == conflict.localValue) {
                item.parts[0] = conflict.serverValue;
                return true;
            }
        }
        // The local value is gone (the local side removed it): the server's comes as an item.
        details.items.push_back(MakeItem(ItemKind::Custom, std::string(), conflict.serverValue));
        return true;
    }
    return false;
}

namespace {

SyncOutcome Finish(Sync& sync, const Stop& stop) {
    sync.report.message = stop.message + sync.report.message;
    return stop.outcome;
}

// Every contact has an id to keep, unique in the book, saved before any
// card is written under it.
bool GiveIds(Sync& sync, bool& changed) {
    changed = false;
    sync.byId.clear();
    for (const auto& owned : sync.document.contacts.records) {
        ContactDetails& details = DetailsOf(sync.document.contacts, owned.get());
        if (details.id.empty() || sync.byId.count(details.id)) {
            details.id = NewContactId();
            changed = true;
        }
        if (!details.idKept) changed = true;
        details.idKept = true;
        sync.byId[details.id] = owned.get();
    }
    return true;
}

}  // namespace

SyncOutcome SynchroniseBook(Document& document, CardDavClient& client, const std::string& bookUrl,
                            const SyncOptions& options, SyncProgress* progress, SyncReport& report) {
    report = SyncReport();
    Sync sync{document, client, AddressBook(), options, progress, report, SyncState(), false, {}, {}, {}, {}, {}};
    if (document.currentPath.empty()) {
        return Finish(sync, {SyncOutcome::Failed, GbkText(u"请先保存通讯录，再同步。")});
    }
    StateFit fit = LoadSyncState(document.currentPath, bookUrl, sync.state);
    sync.firstSync = fit != StateFit::Fits;
    if (sync.firstSync) {
        // Its cards may still tell what was agreed, never what was deleted.
        sync.bases = std::move(sync.state.cards);
        sync.state = SyncState();
    }
    sync.state.bookUrl = bookUrl;
    for (size_t i = 0; i < sync.state.cards.size(); ++i) sync.known[sync.state.cards[i].href] = i;
    for (const SyncedCard& card : sync.bases) sync.baseOf[card.href] = &card;

    DavResult result = ReadBookProperties(client, bookUrl, sync.book);
    if (!Succeeded(result)) return Finish(sync, Failure(result));

    bool idsChanged = false;
    GiveIds(sync, idsChanged);
    if (idsChanged && !Commit(sync, false, std::string())) {
        return Finish(sync, {SyncOutcome::Failed, GbkText(u"通讯录无法保存。")});
    }

    // What changed on the server.
    std::vector<CardRef> changed;
    std::set<std::string> removed;
    std::string token;
    bool full = true;
    if (!sync.firstSync && sync.book.syncCollection && !sync.state.token.empty()) {
        SyncChanges changes;
        result = SyncCollection(client, sync.book, sync.state.token, changes);
        if (Succeeded(result)) {
            full = false;
            changed = changes.changed;
            for (const std::string& href : changes.removed) removed.insert(HrefPath(href));
            token = changes.token;
        } else if (result.status != DavTokenRefused) {
            return Finish(sync, Failure(result));
        }
    }
    if (full) {
        if (sync.book.syncCollection) {
            SyncChanges changes;
            result = SyncCollection(client, sync.book, std::string(), changes);
            changed = changes.changed;
            token = changes.token;
        } else {
            result = ListCards(client, sync.book, changed);
        }
        if (!Succeeded(result)) return Finish(sync, Failure(result));
        std::set<std::string> listed;
        for (const CardRef& ref : changed) listed.insert(HrefPath(ref.href));
        for (const SyncedCard& card : sync.state.cards) {
            if (!listed.count(card.href)) removed.insert(card.href);
        }
    }
    std::vector<std::string> toFetch;
    for (const CardRef& ref : changed) {
        std::string href = HrefPath(ref.href);
        removed.erase(href);
        SyncedCard* known = KnownEntry(sync, href);
        if (!known || ref.etag.empty() || known->etag != ref.etag) toFetch.push_back(href);
    }
    if (progress) progress->total = static_cast<int>(toFetch.size());

    std::map<std::string, CardData> fetched;
    for (size_t from = 0; from < toFetch.size(); from += client.multigetBatch) {
        if (Cancelled(sync)) return Finish(sync, {SyncOutcome::Cancelled, std::string()});
        std::vector<std::string> batch(toFetch.begin() + from,
                                       toFetch.begin() + std::min(toFetch.size(), from + client.multigetBatch));
        std::vector<CardData> cards;
        std::vector<std::string> missing;
        result = FetchCards(client, sync.book, batch, cards, missing);
        if (!Succeeded(result)) return Finish(sync, Failure(result));
        for (CardData& card : cards) fetched[HrefPath(card.href)] = std::move(card);
        for (const std::string& href : missing) {
            if (KnownEntry(sync, HrefPath(href))) removed.insert(HrefPath(href));
        }
        if (progress) progress->done += static_cast<int>(batch.size());
    }

    // What to do with each card and each contact.
    Plan plan;
    std::unordered_set<std::string> linked;
    for (const SyncedCard& card : sync.state.cards) {
        if (!removed.count(card.href) && !card.contactId.empty()) linked.insert(card.contactId);
    }
    std::unordered_multimap<std::string, ContactRecord*> byContent;
    bool contentIndexed = false;
    for (auto& [href, data] : fetched) {
        if (KnownEntry(sync, href)) continue;
        VcardCard card;
        bool named = ReadContactCard(data.vcard, card);
        ContactRecord* match = nullptr;
        if (named) {
            auto same = sync.byId.find(card.details.id);
            if (same != sync.byId.end() && !linked.count(card.details.id)) match = same->second;
        }
        if (named && !match) {
            if (!contentIndexed) {
                for (const auto& owned : document.contacts.records) {
                    if (!linked.count(DetailsOf(document.contacts, owned.get()).id)) {
                        byContent.emplace(ContentKey(*owned), owned.get());
                    }
                }
                contentIndexed = true;
            }
            for (const ContactRecord* form : {&card.record, &card.asWritten}) {
                auto range = byContent.equal_range(ContentKey(*form));
                for (auto it = range.first; it != range.second && !match; ++it) {
                    const std::string& id = DetailsOf(document.contacts, it->second).id;
                    if (!linked.count(id) && SameItems(DetailsOf(document.contacts, it->second).items, card.details.items)) {
                        match = it->second;
                    }
                }
            }
        }
        SyncedCard entry;
        entry.href = href;
        entry.etag = data.etag;
        entry.serverCard = data.vcard;
        if (match) {
            entry.contactId = DetailsOf(document.contacts, match).id;
            entry.agreedCard = BaseFor(sync, href, entry.contactId);
            linked.insert(entry.contactId);
            sync.state.cards.push_back(entry);
            plan.reconcile.push_back({sync.state.cards.size() - 1, match});
        } else if (named) {
            plan.download.push_back(href);
        } else {
            sync.state.cards.push_back(entry);  // nobody to hold: left as it is
        }
    }
    size_t knownCards = sync.state.cards.size() - plan.reconcile.size();
    for (size_t i = 0; i < knownCards; ++i) {
        SyncedCard& card = sync.state.cards[i];
        if (card.contactId.empty()) {
            if (removed.count(card.href)) plan.forget.push_back(i);
            continue;
        }
        auto contact = sync.byId.find(card.contactId);
        ContactRecord* record = contact == sync.byId.end() ? nullptr : contact->second;
        auto now = fetched.find(card.href);
        if (now != fetched.end()) {
            card.serverCard = now->second.vcard;
            card.etag = now->second.etag;
        }
        if (removed.count(card.href)) {
            if (!record) {
                plan.forget.push_back(i);
            } else if (SameCard(Render(sync, record), card.agreedCard) && !linked.count(card.contactId)) {
                plan.deleteLocal.push_back(i);
                linked.insert(card.contactId);
            } else {
                plan.forget.push_back(i);  // edited here since, or at home under another card: kept
                if (!linked.count(card.contactId)) plan.upload.push_back(record);
                linked.insert(card.contactId);
            }
        } else if (!record && now != fetched.end() &&
                   !SameCard(ServerForm(sync, card.serverCard, card.contactId), card.agreedCard)) {
            plan.restore.push_back(i);  // deleted here, changed there: the change is kept
        } else if (!record) {
            plan.deleteOnServer.push_back(i);
        } else if (now != fetched.end() || Render(sync, record) != card.agreedCard) {
            plan.reconcile.push_back({i, record});
        }
    }
    for (const auto& owned : document.contacts.records) {
        if (!linked.count(DetailsOf(document.contacts, owned.get()).id)) plan.upload.push_back(owned.get());
    }

    int bookSize = std::max(RecordCount(document.contacts), static_cast<int>(sync.state.cards.size()));
    auto massive = [&](size_t count) {
        return static_cast<int>(count) >= MassDeleteFloor && static_cast<int>(count) * 10 > bookSize;
    };
    if (!options.allowMassDelete && (massive(plan.deleteLocal.size()) || massive(plan.deleteOnServer.size()))) {
        report.wouldDeleteLocal = static_cast<int>(plan.deleteLocal.size());
        report.wouldDeleteServer = static_cast<int>(plan.deleteOnServer.size());
        return Finish(sync, {SyncOutcome::MassDelete, GbkText(u"这次同步会删除很多联系人，请先确认。")});
    }

    if (progress) {
        progress->total += static_cast<int>(plan.reconcile.size() + plan.download.size() + plan.restore.size() + plan.upload.size() +
                                            plan.deleteOnServer.size() + plan.deleteLocal.size());
    }
    // From here every step leaves the book and the state fit to be saved.
    Stop stop{SyncOutcome::Done, std::string()};
    auto failed = [&](const DavResult& step) {
        if (Succeeded(step)) return false;
        stop = Failure(step);
        return true;
    };
    auto interrupted = [&]() {
        if (stop.outcome != SyncOutcome::Done) return true;
        if (!Cancelled(sync)) return false;
        stop = {SyncOutcome::Cancelled, std::string()};
        return true;
    };

    for (auto& [index, record] : plan.reconcile) {
        if (interrupted()) break;
        SyncedCard& entry = sync.state.cards[index];
        failed(Reconcile(sync, entry, record, entry.agreedCard, fetched.count(entry.href) > 0));
        Step(sync);
    }
    for (const std::string& href : plan.download) {
        if (interrupted()) break;
        const CardData& data = fetched[href];
        ContactRecord* record = AddFromCard(sync, data.vcard, std::string());
        SyncedCard entry;
        entry.href = href;
        entry.etag = data.etag;
        entry.serverCard = data.vcard;
        if (record) {
            entry.contactId = DetailsOf(document.contacts, record).id;
            entry.agreedCard = Render(sync, record);
            ++report.downloaded;
        } else {
            report.message += GbkText(u"通讯录已满，未收到：") + href + "\r\n";
        }
        if (record) sync.state.cards.push_back(entry);
        Step(sync);
    }
    for (size_t index : plan.restore) {
        if (interrupted()) break;
        SyncedCard& entry = sync.state.cards[index];
        ContactRecord* record = AddFromCard(sync, entry.serverCard, entry.contactId);
        if (record) {
            entry.contactId = DetailsOf(document.contacts, record).id;
            entry.agreedCard = Render(sync, record);
            ++report.downloaded;
        }
        Step(sync);
    }
    for (ContactRecord* record : plan.upload) {
        if (interrupted()) break;
        failed(Upload(sync, record));
        Step(sync);
    }
    for (size_t index : plan.deleteOnServer) {
        if (interrupted()) break;
        failed(DeleteOnServer(sync, index));
        Step(sync);
    }
    for (size_t index : plan.deleteLocal) {
        if (interrupted()) break;
        SyncedCard& entry = sync.state.cards[index];
        auto contact = sync.byId.find(entry.contactId);
        if (contact != sync.byId.end()) {
            RemoveRecord(document.contacts, contact->second);
            sync.byId.erase(contact);
            ++report.deleted;
        }
        entry.contactId = DroppedCard;
        Step(sync);
    }
    for (size_t index : plan.forget) sync.state.cards[index].contactId = DroppedCard;
    std::vector<SyncedCard> kept;
    for (SyncedCard& card : sync.state.cards) {
        if (card.contactId != DroppedCard) kept.push_back(std::move(card));
    }
    sync.state.cards = std::move(kept);
    ShownFlagsChanged(document.contacts);

    bool complete = stop.outcome == SyncOutcome::Done;
    if (!Commit(sync, complete, token)) {
        return Finish(sync, {SyncOutcome::Failed, GbkText(u"通讯录无法保存。")});
    }
    return Finish(sync, stop);
}
