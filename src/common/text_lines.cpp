#include "common/text_lines.h"

namespace vsu {
namespace {
constexpr std::size_t kChunk = 1 << 16;
}

LineReader::LineReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

bool LineReader::Fill() {
  if (eof_) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  const auto old = buffer_.size();
  buffer_.resize(old + kChunk);
  const auto n = file_->Read(buffer_.data() + old, kChunk);
  buffer_.resize(old + n);
  if (n == 0) eof_ = true;
  return n > 0;
}

bool LineReader::AtEnd() {
  while (pos_ >= buffer_.size()) {
    if (!Fill()) return true;
  }
  return false;
}

bool LineReader::ReadLine(std::string& line) {
  if (AtEnd()) return false;
  std::size_t cr;
  std::size_t from = pos_;
  while ((cr = buffer_.find('\r', from)) == std::string::npos) {
    const auto scanned = buffer_.size() - pos_;
    if (!Fill()) {
      // The last line, without a line end.
      line.assign(buffer_, pos_, std::string::npos);
      pos_ = buffer_.size();
      return true;
    }
    from = pos_ + scanned;
  }
  line.assign(buffer_, pos_, cr - pos_);
  pos_ = cr + 1;
  // A CR at the end of the buffer may be the first half of CR LF.
  if (pos_ == buffer_.size()) Fill();
  if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
  return true;
}

LineWriter::LineWriter(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

void LineWriter::WriteLine(std::string_view line) {
  pending_.append(line);
  pending_ += "\r\n";
  if (pending_.size() >= kChunk) {
    file_->Write(pending_);
    pending_.clear();
  }
}

void LineWriter::Close() {
  if (!pending_.empty()) file_->Write(pending_);
  pending_.clear();
  file_->Close();
}

}  // namespace vsu
