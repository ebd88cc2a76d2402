// The driver's network side: taking over a connection made by
// serial::ConnectPort, and the Telnet layer of an rfc2217:// port.
#include "driver/serial/SerialPort.h"

#include "driver/serial/NetPort.h"

#include <utility>

bool SerialPort::Adopt(serial::NetConnection&& connection, const std::string& url, unsigned baudRate, unsigned parity)
{
    Close();
    portPath_ = url;
    baudRate_ = baudRate;
    parity_ = parity;
    lost_.store(false, std::memory_order_release);
    network_ = connection.fd >= 0;
    telnet_ = network_ && connection.telnet;
    if (connection.fd < 0) {
        Fail(connection.error == SerialError::None ? SerialError::Io : connection.error, connection.err);
        std::lock_guard lock(errorLock_);
        lastServerText_ = connection.serverSaid;
        return false;
    }
    telnetIn_ = connection.decoder;
    comPort_ = connection.client;
    return StartThreads(std::exchange(connection.fd, -1));
}

void SerialPort::Deliver(const std::uint8_t* data, std::size_t length)
{
    const auto observe = [this](const std::uint8_t* bytes, std::size_t count) {
        std::lock_guard lock(readObserverLock_);
        if (readObserver_ && count > 0)
            readObserver_->OnRead(bytes, count);
    };
    if (!telnet_) {
        OnRxBytes(data, length);
        observe(data, length);
        return;
    }
    received_.clear();
    events_.clear();
    telnetIn_.Feed({data, length}, received_, events_);
    OnRxBytes(received_.data(), received_.size());
    observe(received_.data(), received_.size());
    for (const auto& event : events_)
        if (const auto answer = comPort_.Answer(event); !answer.empty())
            AnswerServer(answer);
}

void SerialPort::AnswerServer(const std::vector<std::uint8_t>& answer)
{
    // A server that keeps asking while the line is stalled cannot grow our
    // memory: beyond this its requests go unanswered, and it asks again if
    // it must.
    constexpr std::size_t kMaxAnswers = 4096;
    std::lock_guard lock(queueLock_);
    if (writerStop_ || answers_.size() + answer.size() > kMaxAnswers)
        return;
    answers_.insert(answers_.end(), answer.begin(), answer.end());
    queueReady_.notify_one();
}
