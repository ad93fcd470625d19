// The server program started on a free port of 127.0.0.1 for one test.
#pragma once

#include "server_process.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace test_support {

// A server on a free port of 127.0.0.1, its start-up line already read.
struct TStartedServer {
  explicit TStartedServer(const std::vector<std::string>& Options = {},
                          const std::string& Program = BINARY_DIR "/server") {
    for (int attempt = 0; attempt < 5; ++attempt) {
      Port = FreePort();
      std::vector<std::string> args{"--listen", "127.0.0.1", "--port", std::to_string(Port)};
      args.insert(args.end(), Options.begin(), Options.end());
      Process = std::make_unique<TServerProcess>(args, Program);
      EXPECT_EQ(Process->ReadLogText(), "Starting server..");
      // A moment to fail if the port was taken meanwhile; success logs nothing more.
      if (!Process->Wait(200))
        return;
    }
    ADD_FAILURE() << "no free port";
  }
  uint16_t Port = 0;
  std::unique_ptr<TServerProcess> Process;
};

} // namespace test_support
