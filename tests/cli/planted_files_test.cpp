// A folder the user does not control: files planted by others (links, FIFOs, devices, damaged indexes, leftovers of
// killed runs) never turn the program against the user's files, never make it hang, and never lock others out. Each
// row is tried with the real file system, through the command line as scripts use it.
#include <gtest/gtest.h>

#include <functional>

#include "app/startup.h"
#include "core/database_lock.h"
#include "core/file_digest.h"
#include "core/line_reader.h"
#include "core/record_codec.h"
#include "core/replace_files.h"
#include "exchange/export_part.h"
#include "tests/support/cli_run.h"
#include "tests/support/database_folder.h"

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace zenfaro {
namespace {

using namespace testing;

class Planted : public ::testing::Test {
 protected:
  void SetUp() override {
    write_bytes(folder_ / "commdb.dat", stored(kRecords));
    write_bytes(folder_ / "commdb.idx", index_of(kRecords));
    write_bytes(outside_ / "precious.txt", "the user's own file");
  }
  CliRun cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"-C", folder_.path().u8string()});
    return run_cli(args, input);
  }
  std::string database() const { return read_bytes(folder_ / "commdb.dat") + read_bytes(folder_ / "commdb.idx"); }
  std::string precious() const { return read_bytes(outside_ / "precious.txt"); }

  const std::vector<Record> kRecords = {kGoal, make_record({"b"}, {}, {"line"})};
  TempFolder folder_;
  TempFolder outside_;  // a folder elsewhere, which the program must never write
};

// An index of 10000 records at offset 0 over a data file whose first record is 1 MB: every walk stops at record 2,
// having read the data file once at most, and check names the offset.
TEST_F(Planted, AnIndexWhoseRecordsOverlapIsDamageThatEveryWalkStopsAt) {
  const std::string first = count(1) + line(std::string(1 << 20, 'x')) + count(0) + count(0);
  const std::string big = first + stored(kGoal);
  write_bytes(folder_ / "commdb.dat", big);
  write_bytes(folder_ / "commdb.idx", std::string(4 * 10000, '\0'));
  write_bytes(folder_ / "in.CMX", exchange_of({kGoal}));
  const std::string damage = "record 2 starts at byte 0 of the data file, before the end of record 1 (byte " +
                             std::to_string(first.size()) + ")";
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"export", "out.CMX"}, {"find", "x"}, {"import", "in.CMX", "--yes"}}) {
    const CliRun run = cli(command);
    EXPECT_EQ(run.status, 1) << command[0];
    EXPECT_NE(run.err.find(damage), std::string::npos) << command[0] << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(folder_ / "out.CMX"));
  EXPECT_EQ(read_bytes(folder_ / "commdb.dat"), big);
  const CliRun check = cli({"check"});
  EXPECT_NE(check.err.find("record 2 starts at byte " + std::to_string(first.size()) +
                           " of the data file, but the index gives 0"),
            std::string::npos)
      << check.err;
  // A walk reads the data file once, in buffers: never more than its size and one buffer.
  DatabaseFolder folder;
  folder.store_files(big, std::string(4 * 10000, '\0'));
  folder.env.count_reads = true;
  EXPECT_NE(walk_records(folder.db, 1, folder.db.record_count,
                         [](std::int32_t, LineReader& in) {
                           skip_record(in);
                           return true;
                         })
                .message()
                .find(damage),
            std::string::npos);
  const auto reads = std::count(folder.env.log.begin(), folder.env.log.end(), "read commdb.dat");
  EXPECT_LE(reads, static_cast<long>(big.size() / (64 * 1024) + 2));
}

// Killed exports leave NAME.part files; the next export of that target removes those it recognises (the exchange
// file's first lines, or a beginning of them) and keeps any other file.
TEST_F(Planted, LeftoversOfKilledExportsGoWithTheNextExport) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string kept = attempt % 3 == 0 ? "" : attempt % 3 == 1 ? "[Version]\r\nHand" : exchange_of({kGoal});
    write_bytes(part_file(folder_ / "out.CMX", attempt), kept);
  }
  write_bytes(folder_ / "out.CMX.7.part", "the user's notes");
  const CliRun run = cli({"export", "out.CMX"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_bytes(folder_ / "out.CMX"), exchange_of(kRecords));
  for (int attempt = 0; attempt < 100; ++attempt) {
    EXPECT_EQ(fs::exists(part_file(folder_ / "out.CMX", attempt)), attempt == 7) << attempt;
  }
  EXPECT_EQ(read_bytes(folder_ / "out.CMX.7.part"), "the user's notes");
}

// Every legal name can be exported to: the work file's name is shortened to fit, never cut inside a character.
TEST_F(Planted, NamesUpToTheSystemsLimitCanBeExported) {
#ifdef _WIN32
  GTEST_SKIP() << "a path of more than 260 characters needs Windows' long-path form, which the program does not use";
#endif
  for (const std::string& name :
       {std::string(251, 'n') + ".CMX", std::string(250, 'n') + ".CMX", std::string(248, 'n') + "\u00E9.CMX"}) {
    SCOPED_TRACE(name.size());
    const CliRun run = cli({"export", name});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read_bytes(folder_.path() / fs::u8path(name)), exchange_of(kRecords));
    for (int attempt : {0, 1, 99})
      EXPECT_LE(part_file(folder_.path() / fs::u8path(name), attempt).filename().u8string().size(), 255u);
  }
  EXPECT_EQ(part_file(folder_.path() / fs::u8path(std::string(249, 'n') + "\u00E9.CMX"), 0).filename().u8string(),
            std::string(249, 'n') + ".part");
}

// A lock file made by the first user of a shared folder takes the data file's bits, whatever the umask.
TEST_F(Planted, TheLockFileTakesTheDataFilesPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no permission bits for a group";
#else
  fs::permissions(folder_ / "commdb.dat", fs::perms(0664));
  const mode_t before = umask(022);
  const CliRun run = cli({"add", "1", "lines", "x"});
  umask(before);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(fs::status(folder_ / "zenfaro.lck").permissions() & fs::perms::all, fs::perms(0664));
  EXPECT_EQ(fs::status(folder_ / "commdb.dat").permissions() & fs::perms::all, fs::perms(0664));
#endif
}

#ifndef _WIN32

std::string message_of(const CliRun& run) { return run.err + run.out; }

// A symbolic link planted under the name of one of the program's own files: the file it names is never written,
// and the database never becomes a link.
TEST_F(Planted, LinksUnderTheProgramsOwnNamesNeverLeadItsWritesOutside) {
  const fs::path kept = outside_ / "precious.txt";
  write_bytes(folder_ / "in.CMX", exchange_of({make_record({"new"}, {}, {"line"})}));
  for (const char* name : {"hashes.txt", "hashes2.txt", "impres.txt", "tempfile.tmp", "tempfile2.tmp", "tempfile2.idx",
                           "temp.tmp", "temp.idx", "zenfaro.jrn.tmp", "commdb.old", "importold.dat"}) {
    SCOPED_TRACE(name);
    fs::remove(folder_ / name);  // what the last row made
    fs::create_symlink(kept, folder_ / name);
    CliRun run = cli({"import", "in.CMX", "--yes"});
    EXPECT_EQ(run.status, 0) << message_of(run);
    run = cli({"add", "1", "lines", name});
    EXPECT_EQ(run.status, 0) << message_of(run);
    EXPECT_EQ(precious(), "the user's own file");
    EXPECT_FALSE(fs::is_symlink(folder_ / "commdb.dat") || fs::is_symlink(folder_ / "commdb.idx"));
    EXPECT_EQ(cli({"check"}).status, 0);
  }
  // The log is appended only when it is a regular file: a link is refused, and the import with it.
  fs::remove(folder_ / "zenfaro.log");
  fs::create_symlink(kept, folder_ / "zenfaro.log");
  const std::string before = database();
  const CliRun run = cli({"import", "in.CMX", "--yes"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("zenfaro.log\": it is a symbolic link"), std::string::npos) << run.err;
  EXPECT_EQ(database() + precious(), before + "the user's own file");
}

// temp.tmp planted as a link to a file outside, beside a journal forged to move it over commdb.dat: nothing moves.
TEST_F(Planted, AForgedJournalCannotMakeTheDatabaseALinkOutside) {
  const fs::path kept = outside_ / "precious.txt";
  fs::create_symlink(kept, folder_ / "temp.tmp");
  write_bytes(folder_ / "temp.idx", index_of({kGoal}));
  fs::create_hard_link(folder_ / "commdb.dat", folder_ / "commdb.old");
  Journal forged{ReplacementKind::save, false, std::vector<JournalLine>(2)};
  digest_file(default_env(), kept, &forged.lines[0].digest).ignore_error();
  digest_file(default_env(), folder_ / "temp.idx", &forged.lines[1].digest).ignore_error();
  forged.lines[0].replaced = identity_of(default_env().file_info(folder_ / "commdb.dat"));
  forged.lines[1].replaced = identity_of(default_env().file_info(folder_ / "commdb.idx"));
  forged.lines[0].backup = identity_of(default_env().file_info(folder_ / "commdb.old"));
  write_bytes(folder_ / "zenfaro.jrn", journal_text(forged));
  const std::string before = database();
  const fs::perms bits = fs::status(kept).permissions();
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"info"}, {"show", "1"}, {"add", "1", "lines", "x"}}) {
    const CliRun run = cli(command);
    EXPECT_EQ(run.status, 1) << command[0];
    EXPECT_NE(run.err.find("temp.tmp\" is not as the journal"), std::string::npos) << run.err;
  }
  EXPECT_EQ(database() + precious(), before + "the user's own file");
  EXPECT_FALSE(fs::is_symlink(folder_ / "commdb.dat"));
  EXPECT_EQ(fs::status(kept).permissions(), bits);
  fs::remove(folder_ / "zenfaro.jrn");  // the user moves the journal away: the next save removes the link, not its file
  ASSERT_EQ(cli({"add", "1", "lines", "x"}).status, 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ / "temp.tmp")));
  EXPECT_EQ(precious(), "the user's own file");
}

// The game's folder: links under the names the start-up writes beside the game's files lead nowhere outside.
TEST_F(Planted, LinksBesideTheGamesFilesNeverLeadItsWritesOutside) {
  const fs::path kept = outside_ / "precious.txt";
  const Layout layout{folder_.path(), true};
  write_bytes(host_marker(folder_.path()), "game");
  write_bytes(layout.data_file(), stored(kRecords));
  write_bytes(layout.index_file(), index_of(kRecords));
  write_bytes(folder_ / "plugins" / "zenfaro" / "kestrane.pbc", "kestrane");
  fs::create_directories(folder_ / "data");
  fs::create_symlink(kept, folder_ / "data" / "commdb.dat.zenfaro-new");
  fs::create_symlink(kept, folder_ / "data" / "commdb.idx.zenfaro-new");
  fs::create_symlink(kept, folder_ / "program" / "kestrane.pbc.zenfaro-new");
  ScriptedPrompt prompt;
  install_kestrane(default_env(), folder_.path(), prompt);
  transfer_database(default_env(), layout, prompt);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(precious(), "the user's own file");
  EXPECT_EQ(read_bytes(folder_ / "program" / "kestrane.pbc"), "kestrane");
  EXPECT_EQ(read_bytes(folder_ / "data" / "commdb.dat") + read_bytes(folder_ / "data" / "commdb.idx"),
            stored(kRecords) + index_of(kRecords));
  for (const char* name : {"data/commdb.dat", "data/commdb.idx", "program/kestrane.pbc"}) {
    EXPECT_FALSE(fs::is_symlink(folder_ / name)) << name;
  }
}

// A dangling link named zenfaro.lck: nothing is created where it points, and nothing is changed.
TEST_F(Planted, ALinkedLockFileIsNeverFollowed) {
  fs::create_symlink(outside_ / "made-by-the-lock", folder_ / "zenfaro.lck");
  const std::string before = database();
  const CliRun run = cli({"add", "1", "lines", "x"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("zenfaro.lck\": it is a symbolic link"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(fs::symlink_status(outside_ / "made-by-the-lock")));
  EXPECT_EQ(database(), before);
}

// A FIFO where a database, work, log or exchange file is expected: every command ends at once, naming it.
TEST_F(Planted, AFifoWhereAFileIsExpectedIsRefusedAtOnceByEveryCommand) {
  write_bytes(folder_ / "in.CMX", exchange_of({make_record({"new"}, {}, {})}));
  const std::vector<std::vector<std::string>> commands = {{"info"},
                                                          {"list"},
                                                          {"show", "1"},
                                                          {"show", "1", "--raw"},
                                                          {"find", "goal"},
                                                          {"check"},
                                                          {"export", "out.CMX"},
                                                          {"import", "in.CMX", "--yes"},
                                                          {"add", "1", "lines", "x"},
                                                          {"modify", "1", "lines", "0", "y"},
                                                          {"remove", "1", "lines", "0"},
                                                          {"delete", "2"}};
  const struct {
    const char* fifo;
    bool every_command;  // or only the import
  } rows[] = {{"commdb.dat", true},    {"commdb.idx", true},   {"impres.txt", false},
              {"tempfile.tmp", false}, {"zenfaro.log", false}, {"in.CMX", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fifo);
    const std::string kept = read_bytes(folder_ / row.fifo);
    fs::remove(folder_ / row.fifo);
    ASSERT_EQ(mkfifo((folder_ / row.fifo).c_str(), 0644), 0);
    for (const std::vector<std::string>& command : commands) {
      const bool refused = row.every_command || command[0] == "import";
      if (!refused) continue;
      const CliRun run = cli(command);
      EXPECT_EQ(run.status, 1) << command[0];
      EXPECT_NE(run.err.find(std::string(row.fifo) + "\""), std::string::npos) << command[0] << ": " << run.err;
      EXPECT_NE(run.err.find("FIFO"), std::string::npos) << command[0] << ": " << run.err;
    }
    fs::remove(folder_ / row.fifo);
    if (!kept.empty()) write_bytes(folder_ / row.fifo, kept);
  }
  EXPECT_EQ(cli({"check"}).status, 0);
}

// The export replaces only a regular file (or a link to one): a FIFO, a socket or a device stays, --force or not.
TEST_F(Planted, TheExportReplacesOnlyARegularFile) {
  ASSERT_EQ(mkfifo((folder_ / "fifo.CMX").c_str(), 0644), 0);
  const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = (folder_ / "socket.CMX").u8string();
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  std::copy(socket_path.begin(), socket_path.end(), address.sun_path);
  ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  std::vector<std::string> targets = {"fifo.CMX", "socket.CMX"};
  // A null device of its own (where the user may make one), never the system's.
  if (::mknod((folder_ / "null.CMX").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) targets.push_back("null.CMX");
  fs::create_symlink(folder_ / "fifo.CMX", folder_ / "to-fifo.CMX");
  targets.push_back("to-fifo.CMX");
  for (const std::string& target : targets) {
    for (const bool force : {false, true}) {
      SCOPED_TRACE(target + (force ? " --force" : ""));
      const fs::file_type type = fs::status(folder_ / target).type();
      const CliRun run = force ? cli({"export", target, "--force"}) : cli({"export", target});
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
      EXPECT_EQ(fs::status(folder_ / target).type(), type);
    }
  }
  ::close(listening);
  write_bytes(outside_ / "old.CMX", "old export");  // a link to a regular file: the file it names is replaced
  fs::create_symlink(outside_ / "old.CMX", folder_ / "linked.CMX");
  ASSERT_EQ(cli({"export", "linked.CMX", "--force"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(folder_ / "linked.CMX"));
  EXPECT_EQ(read_bytes(outside_ / "old.CMX"), exchange_of(kRecords));
}

// commdb.dat as a link into another file system: saving, deleting and importing work, and the link stays.
TEST_F(Planted, ADatabaseLinkedIntoAnotherFileSystemCanBeChanged) {
  const fs::path other = "/dev/shm";
  std::error_code ec;
  if (!fs::is_directory(other, ec) ||
      default_env().file_info(other).device == default_env().file_info(folder_.path()).device) {
    GTEST_SKIP() << "no second file system here";
  }
  const fs::path elsewhere = other / ("zenfaro-test-" + folder_.path().filename().u8string());
  fs::create_directories(elsewhere);
  fs::rename(folder_ / "commdb.dat", folder_ / "moving");
  fs::copy_file(folder_ / "moving", elsewhere / "commdb.dat");
  fs::remove(folder_ / "moving");
  fs::create_symlink(elsewhere / "commdb.dat", folder_ / "commdb.dat");
  write_bytes(folder_ / "in.CMX", exchange_of({make_record({"new"}, {}, {})}));
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"add", "1", "lines", "x"}, {"delete", "2"}, {"import", "in.CMX", "--yes"}}) {
    const CliRun run = cli(command);
    EXPECT_EQ(run.status, 0) << command[0] << ": " << run.err;
  }
  EXPECT_TRUE(fs::is_symlink(folder_ / "commdb.dat"));
  EXPECT_EQ(read_bytes(elsewhere / "commdb.dat"),
            stored({make_record({"goal", "shot"}, {}, {"What a strike", "x"}), make_record({"new"}, {}, {})}));
  EXPECT_EQ(cli({"check"}).status, 0);
  EXPECT_TRUE(fs::exists(folder_ / "commdb.old"));
  fs::remove_all(elsewhere, ec);
}

// A database whose files belong to a group keeps the group when another member of it saves.
TEST_F(Planted, NewDatabaseFilesKeepTheOldFilesGroup) {
  const std::uint32_t group = default_env().file_info(folder_ / "commdb.dat").group == 100 ? 101 : 100;
  if (::chown((folder_ / "commdb.dat").c_str(), static_cast<uid_t>(-1), group) != 0 ||
      ::chown((folder_ / "commdb.idx").c_str(), static_cast<uid_t>(-1), group) != 0) {
    GTEST_SKIP() << "the user may not give the files another group here";
  }
  ASSERT_EQ(cli({"add", "1", "lines", "x"}).status, 0);
  EXPECT_EQ(default_env().file_info(folder_ / "commdb.dat").group, group);
  EXPECT_EQ(default_env().file_info(folder_ / "commdb.idx").group, group);
}

#endif  // _WIN32

}  // namespace
}  // namespace zenfaro
