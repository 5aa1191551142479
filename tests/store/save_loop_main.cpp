// Saves two full books in turn into one file, without end, until it is
// killed: the other side of the interrupted-save test. Prints "ready" once
// both books are built, so that the kill lands among the saves.
// Usage: corvelle_save_loop BOOK
#include <cstdio>

#include "random_books.h"
#include "store/address_book_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvelle_save_loop BOOK\n");
        return 2;
    }
    const Document books[2] = {RandomBook(FullBookSeeds[0], FullBookSize), RandomBook(FullBookSeeds[1], FullBookSize)};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int n = 1;; n = 1 - n) {
        if (WriteAddressBook(argv[1], books[n].groups, books[n].contacts) != 1) return 1;
    }
}
