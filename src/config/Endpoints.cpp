#include "config/Endpoints.h"

#include <QUrl>

namespace koro {

namespace {

constexpr char Referral[] = "ref=korotv";

struct Site {
    const char* name;
    const char* address;
    bool referral;
};

// Third-party sites by their real home pages; the maker's pages are filled in below.
constexpr Site ThirdPartySites[] = {
    {"sixroom", "http://www.6.cn/", true},
    {"youku", "http://www.youku.com/", true},
    {"tudou", "http://www.tudou.com/", true},
    {"ku6", "http://www.ku6.com/", true},
    {"ououvideo", "http://www.ouou.com/", true},
    {"Mofilevideo", "http://www.mofile.com/", false},
    {"sinavideo", "http://video.sina.com.cn/", true},
    {"wole", "http://www.56.com/", true},
    {"menucrsky", "http://www.crsky.com/", true},
    {"menugreen", "http://www.downxia.com/", true},
    {"Menusinadown", "http://www.onlinedown.net/sort/", true},
    {"Menuskycn", "http://www.skycn.com/", true},
    {"menuorsoon", "http://www.orsoon.com/", true},
    {"downbank", "http://www.downbank.cn/", true},
    {"BT1", "http://www.btchina.net/", true},
    {"menusina", "http://www.sina.com.cn/", true},
    {"menuqq", "http://www.qq.com/", true},
    {"menusohu", "http://www.sohu.com/", true},
    {"menubaidunews", "http://news.baidu.com/", true},
    {"menutiexue", "http://www.tiexue.net/", true},
    {"Cnbeta1", "http://www.cnbeta.com/", true},
    {"menu17173", "http://www.17173.com/", true},
    {"menuuuu9", "http://www.uuu9.com/", true},
    {"menupcgames", "http://www.pcgames.com.cn/", true},
    {"menuxiaonei", "http://www.renren.com/", true},
    {"menutianya", "http://www.tianya.cn/", true},
    {"menucat898", "http://www.kdnet.net/", true},
    {"menuqidian", "http://www.qidian.com/", true},
    {"menuhongxiu", "http://www.hongxiu.com/", true},
    {"menuxxsy", "http://www.xxsy.net/", true},
    {"menueastmoney", "http://www.eastmoney.com/", true},
    {"menucfi", "http://www.cfi.cn/", true},
    {"menustockstar", "http://www.stockstar.com/", true},
    {"Menulccx", "http://www.ip138.com/list/lccx.htm", true},
    {"Menubus", "http://www.8684.cn/", true},
    {"Menuhaoservers", "http://www.hao123.com/haoserver/index.htm", true},
};

QString withReferral(const QString& address) {
    return address + (address.contains('?') ? "&" : "?") + Referral;
}

Endpoints build(const QString& telecom, const QString& netcom, const QString& maker,
                const QString& adServer, const QString& baidu, const QString& taobao,
                const QString& translate, bool local) {
    Endpoints e;
    e.telecomHome = telecom + "/v1000";
    e.netcomHome = netcom + "/v1000";
    e.adFeed = adServer + "/ad.txt";
    e.baiduSearch = baidu + "/s?ie=utf-8&wd=";
    e.baiduSuffix = "&tn=improve_pg";
    e.taobaoSearch = taobao + "/browse/search_auction.htm?q=";
    e.taobaoSuffix = QString("&") + Referral;
    e.makerHome = maker + "/";
    e.makerAbout = maker + "/about";
    for (const Site& site : ThirdPartySites) {
        QString address = QString::fromLatin1(site.address);
        if (local) // same path on the test server, so each item stays distinguishable
            address = maker + "/site/" + site.name + QUrl(address).path();
        e.sites.insert(site.name, site.referral ? withReferral(address) : address);
    }
    e.sites.insert("MenuTranslate", translate + "/translate_t#" + Referral);
    e.sites.insert("baidurRadio", maker + "/v1000/jpvod");
    e.sites.insert("MP31", adServer + "/korosport");
    e.sites.insert("menu4399", maker + "/games?soft");
    e.sites.insert("zxhelp", maker + "/help");
    e.sites.insert("MainmenuDownnew", maker + "/down");
    e.sites.insert("hygw", maker + "/");
    return e;
}

} // namespace

Endpoints Endpoints::production() {
    return build("http://tel.korotv.example", "http://cnc.korotv.example",
                 "http://www.korotv.example", "http://ad.korotv.example", "http://www.baidu.com",
                 "http://search.taobao.com", "http://translate.google.cn", false);
}

Endpoints Endpoints::local(const QString& base) {
    // The two lines differ by path prefix only: one server stands in for every host.
    return build(base + "/tel", base + "/cnc", base, base + "/ad", base + "/baidu",
                 base + "/taobao", base + "/translate", true);
}

} // namespace koro
