// SPDX-License-Identifier: GPL-3.0-or-later
// A bench that only publishes: follows the journal and timeline named on the
// command line as a running tool follows its own, so that a test can kill it
// (-9) and see the broker's will.
//   bench_publisher_driver <broker url> <workshop> <bench> <journal> <timeline> [<black-box hex>]

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include "remote/BenchPublisher.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 6) {
    std::fprintf(stderr, "usage: %s url workshop bench journal timeline [blackbox-hex]\n", argv[0]);
    return 2;
  }
  o5::BrokerSettings broker;
  broker.address = *o5::ParseBrokerUrl(argv[1]);
  broker.workshop = argv[2];
  broker.bench = argv[3];
  o5::BenchPublisher publisher(broker, "test");
  publisher.FollowFiles(argv[4], argv[5]);
  if (argc > 6) publisher.BlackBox(658188, "2026-12-08 10:00:00", argv[6]);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &publisher, &o5::BenchPublisher::Pump);
  poll.start(20);
  return app.exec();
}
