// CPageView's long actions: run on a worker thread while the form is disabled, with a progress
// bar and a Cancel button.
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/page_view.h"

void CPageView::StartLongAction(const std::string& button_id) {
    m_progress = std::make_unique<CProgress>();
    m_workerAction = button_id;
    m_workerResult.reset();
    m_form->setEnabled(false);
    m_progressBar->setRange(0, 0);
    m_busy->show();
    CProgress* progress = m_progress.get();
    m_worker = QThread::create([this, button_id, progress] {
        m_workerResult = Guarded([&] { return m_page.Press(button_id, progress); });
    });
    connect(m_worker, &QThread::finished, this, &CPageView::OnLongActionFinished);
    m_progressTimer->start();
    m_worker->start();
}

void CPageView::CancelLongAction() {
    if (m_progress != nullptr) {
        m_progress->Cancel();
    }
}

void CPageView::StopLongAction() {
    if (m_worker == nullptr) {
        return;
    }
    m_worker->disconnect(this);
    m_progressTimer->stop();
    m_progress->Cancel();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_progress.reset();
    m_workerResult.reset();
}

void CPageView::ShowProgress() {
    if (m_progress == nullptr) {
        return;
    }
    const uint64_t total = m_progress->Total();
    if (total == 0) {
        m_progressBar->setRange(0, 0);  // a busy indicator: how far it is is not known
        return;
    }
    constexpr int kSteps = 1000;
    m_progressBar->setRange(0, kSteps);
    m_progressBar->setValue(
        static_cast<int>(static_cast<double>(std::min(m_progress->Done(), total)) /
                         static_cast<double>(total) * kSteps));
}

void CPageView::OnLongActionFinished() {
    m_progressTimer->stop();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    const bool cancelled = m_progress->Cancelled();
    m_progress.reset();
    m_busy->hide();
    m_form->setEnabled(true);
    Refresh();
    const ActionResult message = std::exchange(m_workerResult, std::nullopt);
    if (cancelled) {
        return;
    }
    Log(m_workerAction, message);
    if (message) {
        m_presenter(this, *message);
    }
}
