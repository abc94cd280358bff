<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr_TR">
<context>
    <name>kiv</name>
    <message>
        <source>Password 1</source>
        <translation>Parola 1</translation>
    </message>
    <message>
        <source>Password 2</source>
        <translation>Parola 2</translation>
    </message>
    <message>
        <source>The same password again</source>
        <translation>Aynı parola bir kez daha</translation>
    </message>
    <message>
        <source>Text editor</source>
        <translation>Metin düzenleyici</translation>
    </message>
    <message>
        <source>Each line is encrypted or decrypted on its own</source>
        <translation>Her satır ayrı ayrı şifrelenir ya da şifresi çözülür</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Rapor</translation>
    </message>
    <message>
        <source>File progress</source>
        <translation>Dosya ilerlemesi</translation>
    </message>
    <message>
        <source>Overall progress</source>
        <translation>Toplam ilerleme</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Tarih</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Saat</translation>
    </message>
    <message>
        <source>Shows or hides the passwords</source>
        <translation>Parolaları gösterir ya da gizler</translation>
    </message>
    <message>
        <source>Decrypts a cipher text pasted into Password 1</source>
        <translation>Parola 1 kutusuna yapıştırılan şifreli metnin şifresini çözer</translation>
    </message>
    <message>
        <source>The last save has not been found</source>
        <translation>Son kayıt bulunamadı</translation>
    </message>
    <message>
        <source>Can&apos;t Create Key</source>
        <translation>Anahtar Oluşturulamıyor</translation>
    </message>
    <message>
        <source> Give cipher length equel  3 or big </source>
        <translation> Şifre uzunluğu  3 ya da daha büyük olmalı </translation>
    </message>
    <message>
        <source>Enter the Password:</source>
        <translation>Parolayı girin:</translation>
    </message>
    <message>
        <source>Protect the lives of your information</source>
        <translation>Bilgilerinizin hayatını koruyun</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>&apos;%1&apos; için veri kaydedilemedi</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.TXT</source>
        <translation>Metin dosyaları (*.txt)|*.TXT</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>%1 dosyası oluşturulamıyor</translation>
    </message>
    <message>
        <source>All files (*.*)|*.*|Text files (*.txt)|*.txt|Word files (*.doc)|*.doc|Excel files (*.xls)|*.xls|C++ files (*.cpp)|*.cpp|Picture files (*.jpg)|*.jpg</source>
        <translation>Tüm dosyalar (*.*)|*.*|Metin dosyaları (*.txt)|*.txt|Word dosyaları (*.doc)|*.doc|Excel dosyaları (*.xls)|*.xls|C++ dosyaları (*.cpp)|*.cpp|Resim dosyaları (*.jpg)|*.jpg</translation>
    </message>
    <message>
        <source>Kiv files (*.vrq)|*.vrq</source>
        <translation>Kiv dosyaları (*.vrq)|*.vrq</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Remember me</source>
        <translation>Beni hatırla</translation>
    </message>
    <message>
        <source>Use Text</source>
        <translation>Metin ile</translation>
    </message>
    <message>
        <source>Use Copy</source>
        <translation>Pano ile</translation>
    </message>
    <message>
        <source>Use File</source>
        <translation>Dosya ile</translation>
    </message>
    <message>
        <source>Encrypt  Text editor</source>
        <translation>Şifrele  Düzenleyici</translation>
    </message>
    <message>
        <source>Decrypt  Text editor</source>
        <translation>Şifre Çöz  Düzenleyici</translation>
    </message>
    <message>
        <source>Encrypt  Copy  Paste</source>
        <translation>Şifrele  Pano</translation>
    </message>
    <message>
        <source>Decrypt  Copy Paste</source>
        <translation>Şifre Çöz  Pano</translation>
    </message>
    <message>
        <source>Encrypt  File data</source>
        <translation>Şifrele  Dosya verisi</translation>
    </message>
    <message>
        <source>Decrypt  File data</source>
        <translation>Şifre Çöz  Dosya verisi</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Parola</translation>
    </message>
    <message>
        <source>Quantum computers can not access encrypted and treated with even more.</source>
        <translation>Kuantum bilgisayarlar bile şifrelenmiş ve işlenmiş verilere erişemez.</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Yeni</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Aç</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>Farklı kaydet</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Bağlandı</translation>
    </message>
    <message>
        <source>File run finished</source>
        <translation>Dosya işlemi bitti</translation>
    </message>
    <message>
        <source>File run failed</source>
        <translation>Dosya işlemi başarısız oldu</translation>
    </message>
    <message>
        <source>File run cancelled</source>
        <translation>Dosya işlemi iptal edildi</translation>
    </message>
    <message>
        <source>Message changed not true one</source>
        <translation>Mesaj değiştirilmiş: birinci doğru değil</translation>
    </message>
    <message>
        <source>Message changed not true two</source>
        <translation>Mesaj değiştirilmiş: ikinci doğru değil</translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal</source>
        <translation>Parola 1 ile Parola 2 aynı olmalı</translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal  </source>
        <translation>Parola 1 ile Parola 2 aynı olmalı  </translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal </source>
        <translation>Parola 1 ile Parola 2 aynı olmalı </translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal or small than three </source>
        <translation>Parola 1 ile Parola 2 aynı olmalı, üç karakterden kısa olmamalı </translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal. </source>
        <translation>Parola 1 ile Parola 2 aynı olmalı. </translation>
    </message>
    <message>
        <source>Password 1 and Password 2 must equal or small than three  </source>
        <translation>Parola 1 ile Parola 2 aynı olmalı, üç karakterden kısa olmamalı  </translation>
    </message>
    <message>
        <source>This password cannot protect a text: two parts of every block would share one prime, so the cipher text could never be decrypted. Please choose another password.</source>
        <translation>Bu parola bir metni koruyamaz: her bloğun iki parçası aynı asal sayıyı paylaşırdı, bu yüzden şifreli metnin şifresi hiçbir zaman çözülemezdi. Lütfen başka bir parola seçin.</translation>
    </message>
    <message>
        <source> The file is too short to be an encrypted file</source>
        <translation> Dosya, şifrelenmiş bir dosya olamayacak kadar kısa</translation>
    </message>
    <message>
        <source>This password cannot protect files: two parts of every block would share one prime, so the encrypted file could never be restored. Please choose another password.</source>
        <translation>Bu parola dosyaları koruyamaz: her bloğun iki parçası aynı asal sayıyı paylaşırdı, bu yüzden şifrelenmiş dosya hiçbir zaman geri yüklenemezdi. Lütfen başka bir parola seçin.</translation>
    </message>
    <message>
        <source>Write File not Open </source>
        <translation>Yazılacak Dosya Açılamadı </translation>
    </message>
    <message>
        <source>Read File not Open </source>
        <translation>Okunacak Dosya Açılamadı </translation>
    </message>
    <message>
        <source> Read File not Open </source>
        <translation> Okunacak Dosya Açılamadı </translation>
    </message>
    <message>
        <source> Write File not Open </source>
        <translation> Yazılacak Dosya Açılamadı </translation>
    </message>
    <message>
        <source> Password&apos;s length is wrong.</source>
        <translation> Parolanın uzunluğu yanlış.</translation>
    </message>
    <message>
        <source>Password is wrong</source>
        <translation>Parola yanlış</translation>
    </message>
    <message>
        <source>Change Password</source>
        <translation>Parolayı Değiştirin</translation>
    </message>
    <message>
        <source>View  Encrypt File the Report  or Decrypt  File the Report</source>
        <translation>Dosya Şifreleme Raporunu  ya da  Dosya Şifre Çözme Raporunu  Görüntüleyin</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 zaten var.
Üzerine yazılsın mı?</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>açılamıyor</translation>
    </message>
    <message>
        <source>is too short to be an encrypted file</source>
        <translation>şifrelenmiş bir dosya olamayacak kadar kısa</translation>
    </message>
    <message>
        <source>has a header count of %1, which no password gives</source>
        <translation>başlık sayısı %1; hiçbir parola bu sayıyı vermez</translation>
    </message>
    <message>
        <source>is damaged: its entries do not fill it exactly</source>
        <translation>bozuk: girdileri dosyayı tam olarak doldurmuyor</translation>
    </message>
    <message>
        <source> The encrypted file ends before entry %1</source>
        <translation> Şifrelenmiş dosya, %1. girdiden önce bitiyor</translation>
    </message>
    <message>
        <source> The encrypted file ends before the last block of entry %1</source>
        <translation> Şifrelenmiş dosya, %1. girdinin son bloğundan önce bitiyor</translation>
    </message>
    <message>
        <source> The encrypted file ends before the last block of %1</source>
        <translation> Şifrelenmiş dosya, %1 girdisinin son bloğundan önce bitiyor</translation>
    </message>
    <message>
        <source> Entry %1 has a name length of %2 bytes (0 to 255 are possible): the encrypted file is damaged</source>
        <translation> Girdi %1 için ad uzunluğu %2 bayt (0 ile 255 arası olabilir): şifrelenmiş dosya bozuk</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; has a size of %3 bytes: the encrypted file is damaged there; the entry was not restored</source>
        <translation> Girdi %1 &quot;%2&quot; için boyut %3 bayt: şifrelenmiş dosya orada bozuk; girdi geri yüklenmedi</translation>
    </message>
    <message>
        <source> The encrypted file has a file count of %1: it is damaged, nothing was restored</source>
        <translation> Şifrelenmiş dosyanın dosya sayısı %1: dosya bozuk, hiçbir şey geri yüklenmedi</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; has no name; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; adsız; atlandı</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; has a NUL byte in its name; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; adında NUL baytı var; atlandı</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; has a folder in its name; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; adında klasör var; atlandı</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; is named after a folder; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; bir klasörün adını taşıyor; atlandı</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; would replace the encrypted file itself; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; şifrelenmiş dosyanın kendisinin yerine geçerdi; atlandı</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; has the name of a file restored earlier in this run; skipped</source>
        <translation> Girdi %1 &quot;%2&quot; bu çalışmada daha önce geri yüklenen bir dosyanın adını taşıyor; atlandı</translation>
    </message>
    <message>
        <source> This is not an encrypted file: no password gives its header count of %1</source>
        <translation> Bu, şifrelenmiş bir dosya değil: hiçbir parola %1 başlık sayısını vermez</translation>
    </message>
    <message>
        <source> Entry %1 was not restored</source>
        <translation> Girdi %1 geri yüklenmedi</translation>
    </message>
    <message>
        <source> Entries %1 to %2 were not restored</source>
        <translation> Girdi %1 ile %2 arası geri yüklenmedi</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; claims more blocks than the encrypted file holds: it was not restored</source>
        <translation> Girdi %1 &quot;%2&quot; şifrelenmiş dosyanın tuttuğundan fazla blok bildiriyor: geri yüklenmedi</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot; claims more blocks than the encrypted file holds: it and the entries after it, up to entry %3, were not restored</source>
        <translation> Girdi %1 &quot;%2&quot; şifrelenmiş dosyanın tuttuğundan fazla blok bildiriyor: o ve ondan sonraki girdiler, %3. girdiye kadar, geri yüklenmedi</translation>
    </message>
    <message>
        <source> The password differs from the stored one, so &quot;%1&quot; was not replaced: restored as &quot;%2&quot;</source>
        <translation> Parola kayıtlı paroladan farklı, bu yüzden &quot;%1&quot; değiştirilmedi: &quot;%2&quot; olarak geri yüklendi</translation>
    </message>
    <message>
        <source> The encrypted file ends before its password block</source>
        <translation> Şifrelenmiş dosya, parola bloğundan önce bitiyor</translation>
    </message>
    <message>
        <source> The encrypted file ends before its file count</source>
        <translation> Şifrelenmiş dosya, dosya sayısından önce bitiyor</translation>
    </message>
    <message>
        <source>The file %1 is 2 GiB or larger; an encrypted file can only hold files below 2 GiB.</source>
        <translation>%1 dosyası 2 GiB ya da daha büyük; şifrelenmiş bir dosya yalnızca 2 GiB&apos;tan küçük dosyaları tutabilir.</translation>
    </message>
    <message>
        <source>The encrypted file %1 would replace one of the files to encrypt. Please choose another name.</source>
        <translation>Şifrelenmiş dosya %1, şifrelenecek dosyalardan birinin yerine geçerdi. Lütfen başka bir ad seçin.</translation>
    </message>
    <message>
        <source>Two of the files to encrypt are named &quot;%1&quot;. An encrypted file keeps only the names, so restoring it would give back just one of them. Please rename one, or encrypt them separately.</source>
        <translation>Şifrelenecek dosyalardan ikisinin adı &quot;%1&quot;. Şifrelenmiş dosya yalnızca adları saklar, bu yüzden geri yüklendiğinde bunlardan yalnızca biri geri gelir. Lütfen birinin adını değiştirin ya da onları ayrı ayrı şifreleyin.</translation>
    </message>
    <message>
        <source>File Byte Amount = %1</source>
        <translation>Dosya Bayt Sayısı    = %1</translation>
    </message>
    <message>
        <source>File Byte Part   = %1</source>
        <translation>Dosya Parça Sayısı   = %1</translation>
    </message>
    <message>
        <source>Open Long Byte   = %1</source>
        <translation>Açık Blok Uzunluğu   = %1</translation>
    </message>
    <message>
        <source>Close Long Byte  = %1</source>
        <translation>Kapalı Blok Uzunluğu = %1</translation>
    </message>
    <message>
        <source>Open File Byte Amount = %1</source>
        <translation>Açık Dosya Bayt Sayısı   = %1</translation>
    </message>
    <message>
        <source>Open File Byte Part   = %1</source>
        <translation>Açık Dosya Parça Sayısı  = %1</translation>
    </message>
    <message>
        <source>Open Long Byte        = %1</source>
        <translation>Açık Blok Uzunluğu       = %1</translation>
    </message>
    <message>
        <source>Close Long Byte       = %1</source>
        <translation>Kapalı Blok Uzunluğu     = %1</translation>
    </message>
    <message>
        <source>Close File Byte no    = %1</source>
        <translation>Kapalı Dosya Bayt en az  = %1</translation>
    </message>
    <message>
        <source>Close File Byte yes   = %1</source>
        <translation>Kapalı Dosya Bayt toplam = %1</translation>
    </message>
    <message>
        <source>Finished: the files are encrypted into %1</source>
        <translation>Bitti: dosyalar %1 içine şifrelendi</translation>
    </message>
    <message>
        <source>Cancelled: %1 was not written</source>
        <translation>İptal edildi: %1 yazılmadı</translation>
    </message>
    <message>
        <source>Not finished: %1 was not written</source>
        <translation>Tamamlanmadı: %1 yazılmadı</translation>
    </message>
    <message>
        <source>Finished: files restored into %1: %2, not restored: %3</source>
        <translation>Bitti: %1 klasörüne geri yüklenen dosya: %2, geri yüklenmeyen: %3</translation>
    </message>
    <message>
        <source>Cancelled: files restored into %1: %2, the rest not restored</source>
        <translation>İptal edildi: %1 klasörüne geri yüklenen dosya: %2, kalanlar geri yüklenmedi</translation>
    </message>
    <message>
        <source>Not finished: files restored into %1: %2, the rest not restored</source>
        <translation>Tamamlanmadı: %1 klasörüne geri yüklenen dosya: %2, kalanlar geri yüklenmedi</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Dosya: %1</translation>
    </message>
    <message>
        <source>is damaged: its file count, %1, is negative</source>
        <translation>bozuk: dosya sayısı %1, sıfırdan küçük</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Normal bir dosya değil</translation>
    </message>
    <message>
        <source>The file changed length while it was read</source>
        <translation>Dosyanın uzunluğu okunurken değişti</translation>
    </message>
    <message numerus="yes">
        <source>The password did not match: files written into %1: %n, probably unreadable</source>
        <translation>
            <numerusform>Parola eşleşmedi: %1 klasörüne yazılan dosya: %n, büyük olasılıkla okunamaz</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Durdur</translation>
    </message>
    <message>
        <source>Restore anyway</source>
        <translation>Yine de geri yükle</translation>
    </message>
    <message numerus="yes">
        <source>Files in %1 hold other content than the restore would write: %n

%2

Replace: these files are replaced and lost.
Keep both: each restored file gets a name such as &quot;%3&quot;.
Skip: these files are left as they are and not restored.</source>
        <translation>
            <numerusform>%1 klasöründeki dosyalar, geri yüklemenin yazacağından başka içerik tutuyor: %n

%2

Değiştir: bu dosyaların yerine geri yüklenenler yazılır, bunlar kaybolur.
İkisini de tut: her geri yüklenen dosya &quot;%3&quot; gibi bir ad alır.
Atla: bu dosyalar olduğu gibi kalır ve geri yüklenmez.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>… and more: %n</source>
        <translation>
            <numerusform>… ve daha fazlası: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>Files already there</source>
        <translation>Dosyalar zaten var</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Değiştir</translation>
    </message>
    <message>
        <source>Keep both</source>
        <translation>İkisini de tut</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Atla</translation>
    </message>
    <message>
        <source>This password cannot be used: choose another one; some passwords with letters outside A–Z cannot</source>
        <translation>Bu parola kullanılamaz: başka bir parola seçin; A–Z dışında harfler içeren bazı parolalar kullanılamaz</translation>
    </message>
    <message>
        <source> (restored %1)</source>
        <translation> (geri yüklendi %1)</translation>
    </message>
    <message>
        <source> The password differs from the stored one: &quot;%1&quot; was written under its own name and is probably unreadable</source>
        <translation> Parola kayıtlı paroladan farklı: &quot;%1&quot; kendi adıyla yazıldı ve büyük olasılıkla okunamaz</translation>
    </message>
    <message>
        <source> &quot;%1&quot; held other content: replaced, as chosen</source>
        <translation> &quot;%1&quot; başka içerik tutuyordu: seçildiği gibi değiştirildi</translation>
    </message>
    <message>
        <source> &quot;%1&quot; holds other content and was kept, as chosen: restored as &quot;%2&quot;</source>
        <translation> &quot;%1&quot; başka içerik tutuyor ve seçildiği gibi korundu: &quot;%2&quot; olarak geri yüklendi</translation>
    </message>
    <message>
        <source> Entry %1 &quot;%2&quot;: the file of that name holds other content and was kept, as chosen; not restored</source>
        <translation> Girdi %1 &quot;%2&quot;: bu addaki dosya başka içerik tutuyor ve seçildiği gibi korundu; geri yüklenmedi</translation>
    </message>
    <message>
        <source> &quot;%1&quot; already holds the same content: left as it was</source>
        <translation> &quot;%1&quot; zaten aynı içeriği tutuyor: olduğu gibi bırakıldı</translation>
    </message>
    <message numerus="yes">
        <source>The clipboard now holds the encrypted text (%n parts)</source>
        <translation>
            <numerusform>Pano artık şifreli metni tutuyor (%n parça)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The clipboard now holds the decrypted text (%n parts)</source>
        <translation>
            <numerusform>Pano artık şifresi çözülmüş metni tutuyor (%n parça)</numerusform>
        </translation>
    </message>
    <message>
        <source>A file run is still going.
Stop it and close the window?</source>
        <translation>Bir dosya işlemi hâlâ sürüyor.
Durdurulup pencere kapatılsın mı?</translation>
    </message>
    <message>
        <source>Stop the run and close</source>
        <translation>İşlemi durdur ve kapat</translation>
    </message>
    <message>
        <source>Keep running</source>
        <translation>İşleme devam et</translation>
    </message>
    <message>
        <source>The clipboard holds no text: nothing was encrypted</source>
        <translation>Panoda metin yok: hiçbir şey şifrelenmedi</translation>
    </message>
    <message>
        <source>The clipboard holds no text: nothing was decrypted</source>
        <translation>Panoda metin yok: hiçbir şeyin şifresi çözülmedi</translation>
    </message>
    <message>
        <source>folders cannot be encrypted; choose files</source>
        <translation>klasörler şifrelenemez; dosya seçin</translation>
    </message>
    <message>
        <source>Press %1 to restore %2</source>
        <translation>%2 dosyasını geri yüklemek için %1 düğmesine basın</translation>
    </message>
    <message>
        <source>Choose %1, then press %2 to restore %3</source>
        <translation>%3 dosyasını geri yüklemek için önce %1 seçin, sonra %2 düğmesine basın</translation>
    </message>
</context>
</TS>
