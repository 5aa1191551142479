// The data every timing runs on: a full book of contacts with every field
// filled, and the same contacts as one vCard file whose lines mix the
// three encodings.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/contact_store.h"
#include "store/groups.h"

// The contacts of the benchmarks' book and files.
const int BenchContacts = 512;

// Contact n of the book: every text field filled to its width with
// Chinese and ASCII text (digits where the field holds a number or a date),
// female for odd n, in group n % 5.
ContactRecord FullContact(int n);

// Takes a first argument "--folder=FOLDER" off the command line into
// `folder`: where a benchmark writes its files.
void TakeFolderOption(int& argc, char**& argv, std::filesystem::path& folder);

// `count` full contacts, FullContact(0) to FullContact(count - 1).
void FillFullBook(ContactStore& store, int count = BenchContacts);

// Contact n of a company's directory, as such a book is: a name of two or
// three characters, a mobile and an office number, an e-mail address,
// the company, department and title, the office's address, a birthday for
// every third; the other fields empty.
ContactRecord DirectoryContact(int n);
void FillDirectoryBook(ContactStore& store, int count);

// Gives every contact of the store the details a phone's export brings:
// a second mobile, a second e-mail address, a website, a note and a
// company longer than its field, kept whole.
void AddFullDetails(ContactStore& store);

// The five default groups, each name as long as a group name may be.
void FillFullGroups(GroupList& groups);

// One file of cards for every contact of the store, each card with every
// property the reader knows. The name, nickname, company, title and the
// addresses take turns at plain GBK, UTF-8 quoted-printable and the
// Unicode quoted-printable form, so each card mixes all three.
std::string MixedVcardText(const ContactStore& store);

// The same contacts as a phone of today exports them: vCard 3.0, UTF-8
// text, groups and lower-case types, and a photo of about 6 KB folded
// into lines of 75 characters.
std::string PhoneVcardText(const ContactStore& store);

// The same contacts as Google Contacts exports them ("Google CSV", UTF-8
// with a byte-order mark): name, organisation, birthday, a label, one
// e-mail, three typed phones and the home address.
std::string GoogleCsvText(const ContactStore& store);
