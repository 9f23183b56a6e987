#pragma once

#include <QHash>
#include <QString>

namespace koro {

// Every web address the program opens. The product uses production(); the test harness a
// table on a local server, so no test reaches the internet.
struct Endpoints {
    QString telecomHome; // home page on the telecom line
    QString netcomHome;  // home page on the netcom line
    QString adFeed;      // the ad feed file
    QString baiduSearch; // keyword search, up to and including the keyword parameter
    QString baiduSuffix; // appended after the keyword
    QString taobaoSearch;
    QString taobaoSuffix;
    QString makerHome;  // the maker's home page
    QString makerAbout; // the maker's "/about" page
    // Site menu items: object name -> address.
    QHash<QString, QString> sites;

    static Endpoints production();
    // Everything on one local server at base (for example "http://127.0.0.1:8080").
    static Endpoints local(const QString& base);
};

} // namespace koro
