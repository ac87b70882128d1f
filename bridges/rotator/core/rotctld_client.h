#pragma once
// The four requests the bridge makes of rotctld, each one command and its answer.
#include <cstddef>
#include <string>
#include <vector>

#include "bridges/rotator/core/heading.h"
#include "bridges/rotator/core/rotctld_connection.h"

namespace rotbridge {

// What became of a request. A link failure means the connection can no longer be trusted (a
// late answer would be taken for the next one), so the caller closes it and connects again.
struct Outcome {
    enum class Kind { Done, Refused, LinkFailed };
    Kind kind = Kind::Done;
    std::string detail;  // why it was refused or failed

    bool Done() const { return kind == Kind::Done; }
};

class RotctldClient {
  public:
    explicit RotctldClient(RotctldConnection& connection) : connection_(connection) {}

    Outcome SetPosition(double azimuth);
    Outcome GetPosition(double& azimuth);
    Outcome GetRange(AzimuthRange& range);
    Outcome GetModel(std::string& model);

  private:
    Outcome Send(const std::string& line);
    Outcome Read(std::string& line);
    // The lines of an extended answer up to its "RPRT 0"; a refusal or a missing end otherwise.
    Outcome ReadDump(std::size_t lineLimit, std::vector<std::string>& lines);

    RotctldConnection& connection_;
};

}  // namespace rotbridge
