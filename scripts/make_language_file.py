#!/usr/bin/env python3
"""Writes resources/language/2052.ini, the built-in language file (GBK, CR LF, no final break).

The TForm1 captions must equal the captions of resources/ui/TForm1.ui; run again after changing
a caption there."""
import pathlib
import sys

FORM1 = [
    ("", "Koro网络电视 3.0"),
    ("xuanx", "选 项"), ("Menu_SoftSet", "软件设置"), ("MenuPower", "定时关机"), ("menuexit", "退出"),
    ("huanfu", "换个皮肤"),
    ("shipz", "视频站点"), ("sixroom", "6间房"), ("youku", "优酷网"), ("tudou", "土豆网"),
    ("ku6", "酷6网"), ("ououvideo", "偶偶视频"), ("Mofilevideo", "Mofile视频"),
    ("sinavideo", "新浪视频"), ("wole", "我乐网"),
    ("tuijian", "推荐平台"), ("baidurRadio", "极品影院"), ("MP31", "体育直播"),
    ("MenuFavorit", "我的收藏"), ("IE1", "IE收藏夹"), ("AddFav", "添加到收藏"), ("FinishFav", "整理收藏"),
    ("Mainmenudownsite", "下载站"), ("menucrsky", "霏凡下载"), ("menugreen", "绿色下载"),
    ("Menusinadown", "华军下载"), ("Menuskycn", "天空下载"), ("menuorsoon", "未来下载"),
    ("downbank", "downbank"), ("BT1", "BT联盟"),
    ("Mainmenunewssite", "新闻站"), ("menusina", "新浪网"), ("menusohu", "搜狐网"), ("menuqq", "腾讯网"),
    ("menubaidunews", "百度新闻"), ("menutiexue", "铁血军事"), ("Cnbeta1", "cnBeta"),
    ("Mainmenugamesite", "游戏站"), ("menu17173", "17173游戏网"), ("menuuuu9", "uuu9游戏网"),
    ("menupcgames", "太平洋游戏网"), ("menu4399", "热门单机游戏"),
    ("Mainmenubbs", "社区站"), ("menuxiaonei", "校内网"), ("menutianya", "天涯社区"), ("menucat898", "凯迪社区"),
    ("Mainmenuxiaoshuo", "小说站"), ("menuqidian", "起点小说"), ("menuhongxiu", "红袖添香"), ("menuxxsy", "潇湘书院"),
    ("Mainmenucaij", "财经站"), ("menueastmoney", "东方财富网"), ("menucfi", "中财网"), ("menustockstar", "证券之星"),
    ("Mainmenuguowai", "实用站"), ("MenuTranslate", "在线翻译"), ("Menulccx", "列车时刻"), ("Menubus", "公交查询"),
    ("Menuhaoservers", "更多查询"),
    ("kuaijie", "快捷键"), ("MenuSound", "静音/恢复"), ("menumax", "最大化/还原"), ("menuhide", "隐到托盘/呼出"),
    ("MenuMini", "精简/全功能"), ("MenuCloseHotKey", "禁用快捷键"),
    ("selectway", "线路选择"), ("telcom", "电信"), ("cnc", "网通"),
    ("help", "帮 助"), ("zxhelp", "帮助文档"), ("gywm", "关于我们"), ("MainmenuDownnew", "下载新版"), ("hygw", "官方网站"),
    ("tuopanshow", "显示/隐藏"), ("tuopanexit", "退出"), ("Poptopshow", "始终最前"),
    ("Popbaidu", "百度搜索"), ("PopTaoBao", "淘宝搜索"),
]

SOFTSET = [
    (".caption", "软件设置"), ("Button1.caption", "确定"), ("Button2.caption", "取消"),
    ("Label1.caption", "皮肤选择："), ("LblPowerOff.caption", "定时关机>>"),
    ("Label4.caption", "新窗体打开方式："), ("Label3.caption", "搜索引擎："),
    ("CheckBox1.caption", "选上使窗体置前"), ("CheckBox2.caption", "退出时不再提示"),
    ("CheckBox3.caption", "最小化在任务栏"), ("CheckBox4.caption", "以精简模式启动"),
]


def lines():
    out = [";" * 39, "; system parter", ";" * 37,
           "[Info]", "Language=Chinese(Simplified)", "",
           "[common]", "msgtle1=错误", "msgtle2=提示", "msgtle3=询问", "Exittips=您确定要退出吗?", "",
           ";" * 27, ";user parter", ";" * 27,
           "[TForm1]"]
    out += [f"{name}.caption={text}" for name, text in FORM1]
    out += ["", "[TForm_SoftSet]"] + [f"{k}={v}" for k, v in SOFTSET] + [""]
    out += [";;;", "[TSetTimeForm]", "Label2.caption=点", "Label3.caption=分",
            "Buttonok.caption=确定", "Buttonexit.caption=退出", ""]
    out += ["[TfrmPS]", ".caption=提示", "ButtonOk.caption=观看", "ButtonCancel.caption=取消"]
    return out


def main():
    assert len(FORM1) == 78, len(FORM1)
    text = "\r\n".join(lines())
    data = text.encode("gbk")
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "language" / "2052.ini"
    if "--check" in sys.argv:
        print(len(lines()), "lines,", len(data), "bytes")
        return
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)
    print(target, len(lines()), "lines,", len(data), "bytes")


if __name__ == "__main__":
    main()
