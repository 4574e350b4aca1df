#include "run.h"

#include <array>
#include <cstdint>
#include <new>
#include <optional>

#include "arguments.h"
#include "book_input.h"
#include "console.h"
#include "cp932.h"
#include "csv.h"
#include "decoder.h"
#include "fields.h"
#include "files.h"
#include "reader.h"
#include "survey.h"

namespace tamarack {
namespace {

constexpr size_t kWriteSize = 1024 * 1024;

// Each line fits a command prompt's default width of 80 columns (in code page 932 a
// character takes as many columns as bytes).
constexpr char kUsage[] =
    "使い方: Tamarack 入力ファイル 出力ファイル [/E=FullName /D=ドメイン]\n"
    "                 [/O=文字コード] 項目...\n"
    "  項目: 宛先名 姓 名 EMAIL 会社名 部署 を出力する順に\n"
    "        （addressee family given email company department でも可）\n"
    "  /E=FullName  EMAIL を FullName の英字の名前と /D のドメインから作ります\n"
    "  /D=ドメイン  その時のドメイン（例: /D=example.co.jp）\n"
    "  /O=SJIS      CSV をシフトJIS（コードページ932）で書きます（既定）\n"
    "  /O=UTF-8     CSV を BOM 付きの UTF-8 で書きます（Excel 用）\n"
    "  /O=UTF-8N    CSV を BOM なしの UTF-8 で書きます\n"
    "  入力の文字コード: シフトJIS、UTF-8（BOM あり・なし）、UTF-16（BOM あり）\n"
    "  終了コード: 0 成功、1 変換できなかった、2 使い方の誤り\n";

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string Quoted(const std::string& path) { return "\"" + MessageName(path) + "\""; }

// The reason for an error, the converter's own among them.
std::string Reason(SystemError error) {
  switch (error) {
    case kErrorFolderGone:
      return "出力先のフォルダがなくなりました（変換中に削除されたか、名前が変わりました）";
    case kErrorDeviceName:
      return "CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は Windows が装置に使う名前のため、"
             "拡張子を付けてもファイル名には使えません";
    case kErrorOutputHeld:
      return "ほかのプログラムが使用中です（Excel で開いているときは、Excel で閉じてから"
             "変換し直してください）";
    default:
      return ErrorReason(error);
  }
}

const char* WarningText(Warning kind) {
  switch (kind) {
    case Warning::kLongLine:
      return "64 KiB を超える行または値を切り詰めました";
    case Warning::kInvalidByte:
      return "NUL バイトまたは不正な文字を ? に置き換えました";
    case Warning::kUnmappable:
      return "シフトJIS（コードページ932）にない文字を ? に置き換えました";
    case Warning::kNoAsciiName:
      return "FullName に英字の名前がないため EMAIL を空にしました";
  }
  return "";
}

// "警告: "in.txt" 3, 7 行目（計 2 件）: ..." with "ほか" when more lines than listed.
void AppendWarnings(const WarningLog& log, const std::string& input, std::string& err) {
  for (size_t k = 0; k < kWarningKinds; ++k) {
    const Warning kind = static_cast<Warning>(k);
    const long count = log.Count(kind);
    if (count == 0) continue;
    std::string lines;
    for (long line : log.Lines(kind)) {
      if (!lines.empty()) lines += ", ";
      lines += std::to_string(line);
    }
    err += "警告: " + Quoted(input) + " " + lines + " 行目";
    if (static_cast<size_t>(count) > log.Lines(kind).size()) err += "ほか";
    err += "（計 " + std::to_string(count) + " 件）: " + WarningText(kind) + "\n";
  }
}

// The conversion proper, once the arguments are known. Returns the exit code.
class Conversion {
 public:
  Conversion(const Arguments& args, std::string& out, std::string& err)
      : args_(args), out_(out), err_(err), buffer_(kReadSize, '\0') {}

  int Execute() {
    SystemError error = input_.Open(args_.input);
    if (error)
      return Fail("入力ファイル " + Quoted(args_.input) + " を開けません: " + Reason(error));
    if (input_.IsSameFileAs(args_.output)) {
      return Fail("入力と出力が同じファイル " + Quoted(args_.output) +
                  " です。別の出力ファイルを指定してください");
    }
    error = input_.StartCopy();
    if (error) return CopyFailure(error);
    error = output_.Begin(args_.output);
    if (error) return WriteFailure(error);

    InputSurvey survey;
    Pass pass = Convert(survey);
    // A later read showed what the first ones did not (a byte order mark, bytes that are no
    // UTF-8, a form feed): once more from the start, with that. None of them changes back, so
    // this ends.
    while (pass == Pass::kAgain) {
      error = input_.Rewind();
      if (error) return ReadFailure(error);
      error = output_.Restart();
      if (error) return WriteFailure(error);
      csv_.Clear();
      encoded_.clear();
      warnings_ = WarningLog();
      persons_ = skipped_ = 0;
      pass = Convert(survey);
    }
    if (pass == Pass::kFailed) return kExitFailed;
    if (writeError_) return WriteFailure(writeError_);

    if (persons_ == 0 && skipped_ == 0) {
      return Fail("入力ファイル " + Quoted(args_.input) +
                  " に人物のレコードがありません。出力ファイルは作成も変更もしていません");
    }
    if (persons_ == 0) {
      return Fail("入力ファイル " + Quoted(args_.input) + " から " + std::to_string(skipped_) +
                  " 件のレコードを読みましたが、人物（Form: Person）のレコードはありませんでした。"
                  "出力ファイルは作成も変更もしていません");
    }
    error = output_.Commit();
    if (error) return WriteFailure(error);
    // The CSV has its place: nothing that follows makes the run a failure.
    try {
      AppendWarnings(warnings_, args_.input, err_);
      out_ += Quoted(args_.output) + " に " + std::to_string(persons_) + " 人を書き出しました";
      if (skipped_ > 0) {
        out_ += "（人物以外のレコード " + std::to_string(skipped_) + " 件を除外）";
      }
      out_ += "\n";
    } catch (const std::bad_alloc&) {
      err_ += "警告: メモリが足りないため、結果の一部を表示できませんでした\n";
    }
    return kExitSuccess;
  }

 private:
  int Fail(const std::string& message) {
    err_ += message + "\n";
    return kExitFailed;
  }
  int ReadFailure(SystemError error) {
    if (input_.CopyFailed()) return CopyFailure(error);
    return Fail("入力ファイル " + Quoted(args_.input) + " を読めません: " + Reason(error));
  }
  // The copy of an input that cannot go back to its start (see BookInput).
  int CopyFailure(SystemError error) {
    return Fail("入力ファイル " + Quoted(args_.input) + " の内容を一時ファイルのフォルダ " +
                Quoted(input_.CopyFolder()) + " に保存できません: " + Reason(error) +
                "。出力ファイルは作成も変更もしていません");
  }
  int WriteFailure(SystemError error) {
    return Fail("出力ファイル " + Quoted(args_.output) + " に書き込めません: " + Reason(error) +
                "。既存のファイルは変更していません");
  }

  enum class Pass { kDone, kAgain, kFailed };

  // One pass over the book from the start, writing the CSV. The survey of the book's bytes goes
  // along, each byte surveyed once over all passes: a pass takes the book as its first read
  // shows it (by its mark; else as UTF-8 while that is possible, for an ASCII start reads the
  // same either way; with form feeds or without), and ends early, with kAgain, when a later
  // read shows otherwise: a mark, too, that the first read held only the start of (a pipe may
  // deliver a mark alone). A book is read once, however late it shows what it is.
  Pass Convert(InputSurvey& survey) {
    std::optional<InputDecoder> decoder;
    std::optional<RecordReader> reader;
    FileEncoding encoding = FileEncoding::kCp932;
    size_t markSize = 0;
    Separation separation = Separation::kBlankLine;
    uint64_t offset = 0;
    while (!writeError_) {
      SystemError error = 0;
      const size_t size = input_.Read(&buffer_[0], buffer_.size(), error);
      if (error) {
        ReadFailure(error);
        return Pass::kFailed;
      }
      const std::string_view data(buffer_.data(), size);
      if (!surveyed_ && offset + size > surveyedSize_) {
        surveyed_ = !survey.Feed(data.substr(static_cast<size_t>(surveyedSize_ - offset)));
        surveyedSize_ = offset + size;
      }
      if (!surveyed_ && size == 0) surveyed_ = true;
      if (surveyed_ && !finished_) {
        survey.Finish();
        finished_ = true;
      }
      offset += size;
      if (survey.FoundEncoding() == FileEncoding::kNotText) {
        Fail("入力ファイル " + Quoted(args_.input) +
             " は構造化テキストの書き出しではありません（バイナリファイル、UTF-32、BOM のない"
             " UTF-16 は読めません）。出力ファイルは作成も変更もしていません");
        return Pass::kFailed;
      }
      const FileEncoding shown = survey.MarkSize() > 0 ? survey.FoundEncoding()
                                 : survey.MayBeUtf8()  ? FileEncoding::kUtf8
                                                       : FileEncoding::kCp932;
      if (!reader) {
        encoding = shown;
        markSize = survey.MarkSize();
        separation = survey.RecordSeparation();
        decoder.emplace(encoding, markSize);
        WriteHeader();
        reader.emplace(decoder->TextEncoding(), separation, warnings_,
                       [this](const Record& record) { TakeRecord(record); });
      } else if (shown != encoding || survey.MarkSize() != markSize ||
                 survey.RecordSeparation() != separation) {
        return Pass::kAgain;
      }
      // The survey has decided, as this pass took the book: no pass follows.
      if (finished_) input_.StopCopy();
      if (size == 0) break;
      reader->Feed(decoder->Decode(data));
    }
    if (!writeError_) reader->Feed(decoder->Finish());
    if (!writeError_) reader->Finish();
    if (!writeError_ && !csv_.Text().empty()) Flush();
    return Pass::kDone;
  }

  void WriteHeader() {
    if (args_.outputEncoding == OutputEncoding::kUtf8WithMark) encoded_ = kUtf8Mark;
    std::array<std::string_view, kFieldCount> headers;
    for (size_t i = 0; i < args_.fields.size(); ++i) headers[i] = FieldHeader(args_.fields[i]);
    csv_.Append(headers.data(), args_.fields.size());
  }

  void TakeRecord(const Record& record) {
    if (writeError_) return;
    if (!IsPerson(record)) {
      ++skipped_;
      return;
    }
    ++persons_;
    if (!MapPerson(record, args_.mapping, row_)) warnings_.Add(Warning::kNoAsciiName, record.line);
    std::array<std::string_view, kFieldCount> fields;
    for (size_t i = 0; i < args_.fields.size(); ++i) {
      fields[i] = row_.fields[static_cast<size_t>(args_.fields[i])];
    }
    csv_.Append(fields.data(), args_.fields.size());
    if (csv_.Text().size() >= kWriteSize) Flush();
  }

  // Writes the rows so far, in the output's encoding; rows are built in code page 932.
  void Flush() {
    const std::string_view rows = csv_.Text();
    if (args_.outputEncoding == OutputEncoding::kCp932) {
      writeError_ = output_.Write(rows.data(), rows.size());
    } else {
      AppendCp932AsUtf8(rows, encoded_);
      writeError_ = output_.Write(encoded_.data(), encoded_.size());
      encoded_.clear();
    }
    csv_.Clear();
  }

  const Arguments& args_;
  std::string& out_;
  std::string& err_;
  BookInput input_;
  OutputFile output_;
  std::string buffer_;
  CsvRows csv_;
  std::string encoded_;  // the rows in UTF-8, for a UTF-8 output
  Row row_;
  WarningLog warnings_;
  SystemError writeError_ = 0;
  uint64_t surveyedSize_ = 0;  // the bytes of the book fed to the survey
  bool surveyed_ = false;      // all that the survey needs was fed,
  bool finished_ = false;      // and it has decided
  long persons_ = 0;
  long skipped_ = 0;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::string& out, std::string& err) {
  Arguments parsed;
  const std::string usageError = ParseArguments(args, parsed);
  if (!usageError.empty()) {
    err += "Tamarack: " + usageError + "。使い方は Tamarack /? で表示されます\n";
    return kExitUsage;
  }
  if (parsed.help) {
    out += kUsage;
    return kExitSuccess;
  }
  return Conversion(parsed, out, err).Execute();
}

void WriteTexts(const std::string& out, std::string err) {
  const SystemError unwritten = WriteStandardStream(StandardStream::kOutput, out);
  if (unwritten) err += "警告: 標準出力に書き込めませんでした: " + ErrorReason(unwritten) + "\n";
  WriteStandardStream(StandardStream::kError, err);
}

}  // namespace tamarack
