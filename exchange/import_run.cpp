#include "exchange/import_run.h"

namespace zenfaro {

ImportFiles import_files(const Layout& layout) {
  return {layout.work_file("hashes.txt"),    layout.work_file("hashes2.txt"),   layout.work_file("impres.txt"),
          layout.work_file("tempfile.tmp"),  layout.work_file("tempfile2.tmp"), layout.work_file("tempfile2.idx"),
          layout.work_file("zenfaro.log"),   layout.work_file("importold.dat"), layout.work_file("importold.idx")};
}

ImportRun::ImportRun(Database& database, std::string utf8_path)
    : db(database),
      path(std::move(utf8_path)),
      exchange_path(fs::u8path(path)),
      files(import_files(database.layout)) {}

}  // namespace zenfaro
