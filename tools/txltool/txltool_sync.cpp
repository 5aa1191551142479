// txltool sync: one synchronisation of a book with a CardDAV address book.
#include <cstdlib>
#include <iostream>

#include "sync/sync_engine.h"
#include "tools/txltool/txltool.h"

namespace {

int SyncUsage(const std::string& why) {
    PrintError(why);
    PrintBytes(stderr, std::string("usage: ") + SyncUsageText + "\n");
    return ExitUsage;
}

// CORVELLE_PASSWORD, or the first line of standard input.
std::string Password() {
    if (const char* given = std::getenv("CORVELLE_PASSWORD")) return given;
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// The address book the URL names: itself, or the only one of the account.
bool ChooseBook(CardDavClient& client, const std::string& url, std::string& bookUrl) {
    AddressBook itself;
    if (Succeeded(ReadBookProperties(client, url, itself))) {
        bookUrl = itself.url;  // an address book: no need to list what lies beside or in it
        return true;
    }
    std::vector<AddressBook> books;
    DavResult found = DiscoverAddressBooks(client, url, books);
    if (!Succeeded(found)) {
        PrintError(found.status == DavUnauthorized ? "the server refused the user name or password" : found.message);
        return false;
    }
    for (const AddressBook& book : books) {
        if (HrefPath(book.url) == HrefPath(url)) bookUrl = book.url;
    }
    if (bookUrl.empty() && books.size() == 1) bookUrl = books[0].url;
    if (bookUrl.empty()) {
        std::string names = books.empty() ? " none" : "";
        for (const AddressBook& book : books) names += "\n  " + book.url;
        PrintError(url + ": name one address book; the account has" + names);
        return false;
    }
    return true;
}

}  // namespace

const char SyncUsageText[] = "txltool sync BOOK URL --user NAME [--prefer server|local] [--allow-mass-delete]";

int CommandSync(const Arguments& args) {
    if (args.size() < 2) return SyncUsage("sync needs a book and the address of the address book");
    SyncOptions options;
    std::string user;
    for (size_t i = 2; i < args.size(); ++i) {
        std::string option = ArgumentToUtf8(args[i]);
        if (option == "--user" && i + 1 < args.size()) {
            user = ArgumentToUtf8(args[++i]);
        } else if (option == "--prefer" && i + 1 < args.size()) {
            std::string side = ArgumentToUtf8(args[++i]);
            if (side != "server" && side != "local") return SyncUsage("--prefer takes server or local");
            options.conflicts = side == "server" ? ConflictChoice::PreferServer : ConflictChoice::PreferLocal;
        } else if (option == "--allow-mass-delete") {
            options.allowMassDelete = true;
        } else {
            return SyncUsage(option + ": not an option of sync");
        }
    }
    if (user.empty()) return SyncUsage("sync needs --user NAME");

    Document document;
    if (!LoadBookOrNew(args[0], document)) return ExitFailed;
    document.currentPath = args[0];
    CardDavClient client;
    client.http = OpenHttpSession();
    client.user = user;
    client.password = Password();
    std::string bookUrl;
    int status = ExitFailed;
    if (ChooseBook(client, ArgumentToUtf8(args[1]), bookUrl)) {
        SyncReport report;
        SyncOutcome outcome = SynchroniseBook(document, client, bookUrl, options, nullptr, report);
        std::string out = "uploaded " + std::to_string(report.uploaded) + "\ndownloaded " +
                          std::to_string(report.downloaded) + "\ndeleted " + std::to_string(report.deleted) +
                          "\nconflicts " + std::to_string(report.conflicts.size()) + "\n";
        for (const SyncConflict& conflict : report.conflicts) {
            out += "conflict\t" + conflict.contactName + "\t" + conflict.property + "\tlocal\t" + conflict.localValue +
                   "\tserver\t" + conflict.serverValue + "\n";
        }
        PrintBytes(stdout, out);
        switch (outcome) {
            case SyncOutcome::Done:
                if (!report.message.empty()) PrintBytes(stderr, report.message);
                status = ExitOk;
                break;
            case SyncOutcome::MassDelete:
                PrintError("stopped before deleting " + std::to_string(report.wouldDeleteLocal) + " contacts here and " +
                           std::to_string(report.wouldDeleteServer) +
                           " cards on the server: more than a tenth of the book; run again with --allow-mass-delete to "
                           "delete them");
                break;
            case SyncOutcome::NeedsPassword:
                PrintError("the server refused the user name or password");
                break;
            case SyncOutcome::Cancelled:
            case SyncOutcome::Failed:
                PrintBytes(stderr, "txltool: " + report.message + "\n");
                break;
        }
    }
    CloseHttpSession(client.http);
    return status;
}
