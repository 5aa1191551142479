// Corvelle started from a folder keeps its own files there, wherever the
// file dialogs have been since, and reads files it may not change.
#include <windows.h>

#include <filesystem>

#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

const UINT Information = MB_OK | MB_ICONINFORMATION;
const UINT Warning = MB_OK | MB_ICONWARNING;
const UINT YesNoQuestion = MB_YESNO | MB_ICONQUESTION;

std::string Card(const char* nameLine) {
    return std::string("BEGIN:VCARD\r\nVERSION:2.1\r\n") + nameLine + "\r\nEND:VCARD\r\n";
}

std::wstring SaveFailedText(const PathString& path) {
    return L"文件路径：" + path + L"\n\n文件没有保存成功！请检查磁盘空间和写入权限。\n原来的文件没有被改动。";
}

bool IsCurrentDirectory(const PathString& folder) {
    return std::filesystem::equivalent(std::filesystem::current_path(), folder);
}

// A file with the read-only attribute, as on a CD or a locked memory card.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const PathString& path) : path_(path) {
        EXPECT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    ~ReadOnlyFile() { SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }  // so the scratch folder can go

private:
    PathString path_;
};

class PortableFolderTest : public MainWindowTest {
protected:
    PathString Folder(const std::string& name) {
        PathString path = PathOf(name);
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }
};

}  // namespace

// The user imports from Downloads, saves as default, keeps a copy on a
// backup folder and leaves: the next start from the stick has it all.
TEST_F(PortableFolderTest, TheSettingsTempTxlAndTheDefaultBookStayInTheStartFolder) {
    StartCorvelle();
    PathString downloads = Folder("Downloads");
    PathString backup = Folder("backup");
    WriteFileBytes(downloads + L"\\cards.vcf", Card("N:Wang;Xiaoming"));
    ModalAnswers answers;
    answers.ExpectFileDialogInFolder(L"导入vcf", downloads, L"cards.vcf");
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(IsCurrentDirectory(downloads)) << "the import dialog has moved the current directory";
    answers.ExpectMessage(L"是否保存为默认文件？", L"保存", YesNoQuestion, IDYES);
    SendCommand(IDM_FILE_SAVE_DEFAULT);
    EXPECT_EQ(PathOf("default.txl"), App.document.currentPath);

    answers.ExpectFileDialogInFolder(L"另存为...", backup, L"copy.txl");
    answers.ExpectMessage(L"文件保存！", L"保存", Information, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(IsCurrentDirectory(backup));
    EXPECT_TRUE(FileExists(backup + L"\\copy.txl"));

    answers.ExpectMessage(L"新建文件将会清除为保存的数据，继续请点击“是”", L"新建", MB_YESNO | MB_ICONINFORMATION, IDYES);
    SendCommand(IDM_FILE_NEW);
    AppendRecord(App.document.contacts, Person("unnamed"));
    App.settings.ColumnFlags[QQColumn] = 1;
    answers.ExpectMessage(L"在退出之前是否保存？", L"退出", MB_YESNOCANCEL | MB_ICONQUESTION, IDYES);
    answers.ExpectMessage(L"通讯录已保存到：\n" + PathOf("temp.txl") + L"\n可以用“文件”菜单的“打开...”再打开它。", L"保存",
                          Information, IDOK);
    EXPECT_TRUE(CloseCorvelle());
    EXPECT_TRUE(answers.AllAnswered());

    for (const char* name : {"default.txl", "temp.txl", "txl.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(FileExists(PathOf(name)));
        PathString file = PathFromAscii(name);
        EXPECT_FALSE(FileExists(JoinPath(downloads, file)));
        EXPECT_FALSE(FileExists(JoinPath(backup, file)));
    }

    // Started again from the stick, it opens the default book with the columns chosen.
    SetCurrentDirectoryW(folder.Root().c_str());
    StartCorvelle();
    EXPECT_EQ((std::vector<std::wstring>{L"WangXiaoming"}), ColumnTexts(List()));
    EXPECT_EQ(1, App.settings.ColumnFlags[QQColumn]);
}

TEST_F(PortableFolderTest, AReadOnlyVcardImports) {
    StartCorvelle();
    PathString cd = Folder("cdrom");
    PathString cards = cd + L"\\cards.vcf";
    WriteFileBytes(cards, Card("N:\xD5\xC5;\xC8\xFD") + Card("N:Li;Si"));
    ReadOnlyFile locked(cards);
    ModalAnswers answers;
    answers.ExpectFileDialogInFolder(L"导入vcf", cd, L"cards.vcf");
    SendCommand(IDM_IMPORT_VCF);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"张三", L"LiSi"}), ColumnTexts(List()));
}

// A read-only book opens to be looked at; saving it fails and loses nothing.
TEST_F(PortableFolderTest, AReadOnlyBookOpensButIsNeverOverwritten) {
    WriteBook("locked.txl", BookWith({Person("a")}));
    std::string before = ReadFileBytes(PathOf("locked.txl"));
    ReadOnlyFile locked(PathOf("locked.txl"));
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectFileDialog(L"打开文件", PathOf("locked.txl"));
    SendCommand(IDM_FILE_OPEN);
    EXPECT_EQ((std::vector<std::wstring>{L"a"}), ColumnTexts(List()));

    AppendRecord(App.document.contacts, Person("b"));
    answers.ExpectMessage(SaveFailedText(PathOf("locked.txl")), L"保存", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(PathOf("locked.txl"), App.document.currentPath);
    EXPECT_EQ(before, ReadFileBytes(PathOf("locked.txl")));

    answers.ExpectFileDialog(L"另存为...", PathOf("locked.txl"));
    answers.ExpectSystemMessage(IDYES);  // replace it
    answers.ExpectMessage(SaveFailedText(PathOf("locked.txl")), L"保存", Warning, IDOK);
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(before, ReadFileBytes(PathOf("locked.txl")));
}
